#pragma once
// Applies a FaultPlan command by command: counts the commands and decides for
// each one whether the card goes away, answers a forced status, or runs it.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/cardsim/fault_plan.h"

namespace tavc::cardsim {

struct FaultDecision {
  enum class Action { kExecute, kRemoveCard, kForceStatus };
  Action m_action_ = Action::kExecute;
  StatusWord m_status_{0x90, 0x00};  // for kForceStatus
  std::optional<std::vector<std::uint8_t>> m_answer_;  // for kForceStatus, instead of the status
  std::chrono::milliseconds m_delay_{0};
};

class FaultInjector {
 public:
  FaultInjector() = default;
  explicit FaultInjector(FaultPlan in_l_plan);

  FaultDecision Next(const std::vector<std::uint8_t>& in_l_apdu);
  std::size_t CommandCount() const { return m_command_count_; }
  // True when the command after the last one counted is the one that removes
  // the card by count, so that a transport can let the card go early.
  bool RemovesAtNextCommand() const {
    return m_plan_.m_remove_at_command_ != 0 && m_plan_.m_remove_at_command_ == m_command_count_ + 1;
  }

 private:
  FaultPlan m_plan_;
  std::size_t m_command_count_ = 0;
  std::vector<std::size_t> m_override_hits_;
};

}  // namespace tavc::cardsim
