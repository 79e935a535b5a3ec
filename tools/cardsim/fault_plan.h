#pragma once
// Faults a reader applies to the card it holds, chosen by a test.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/cardsim/apdu_pattern.h"
#include "tools/cardsim/status_word.h"

namespace tavc::cardsim {

struct StatusOverride {
  ApduPattern m_pattern_;
  StatusWord m_status_{0x6F, 0x00};
  // Answer only the Nth matching command so (1-based); 0 answers every one.
  std::size_t m_occurrence_ = 0;
  // When set, the whole answer instead of the status: any bytes, or none at all.
  std::optional<std::vector<std::uint8_t>> m_answer_;
};

struct FaultPlan {
  // The card leaves the reader when the Nth command since insertion arrives
  // (1-based; 0 never). That command is not executed.
  std::size_t m_remove_at_command_ = 0;
  // The card leaves the reader when a matching command arrives (first match).
  ApduPattern m_remove_on_;
  // Matching commands are answered with the status alone (or the answer given),
  // without the card executing them.
  std::vector<StatusOverride> m_status_overrides_;
  // Time the card takes for every command.
  std::chrono::milliseconds m_delay_per_command_{0};
};

}  // namespace tavc::cardsim
