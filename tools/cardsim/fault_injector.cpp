#include "tools/cardsim/fault_injector.h"

#include <utility>

namespace tavc::cardsim {

FaultInjector::FaultInjector(FaultPlan in_l_plan)
    : m_plan_(std::move(in_l_plan)), m_override_hits_(m_plan_.m_status_overrides_.size(), 0) {}

FaultDecision FaultInjector::Next(const std::vector<std::uint8_t>& in_l_apdu) {
  ++m_command_count_;
  FaultDecision l_decision;
  l_decision.m_delay_ = m_plan_.m_delay_per_command_;
  if (m_command_count_ == m_plan_.m_remove_at_command_ ||
      m_plan_.m_remove_on_.Matches(in_l_apdu)) {
    l_decision.m_action_ = FaultDecision::Action::kRemoveCard;
    return l_decision;
  }
  for (std::size_t l_i = 0; l_i < m_plan_.m_status_overrides_.size(); ++l_i) {
    const StatusOverride& l_override = m_plan_.m_status_overrides_[l_i];
    if (!l_override.m_pattern_.Matches(in_l_apdu)) continue;
    ++m_override_hits_[l_i];
    if (l_override.m_occurrence_ == 0 || l_override.m_occurrence_ == m_override_hits_[l_i]) {
      l_decision.m_action_ = FaultDecision::Action::kForceStatus;
      l_decision.m_status_ = l_override.m_status_;
      l_decision.m_answer_ = l_override.m_answer_;
      return l_decision;
    }
  }
  return l_decision;
}

}  // namespace tavc::cardsim
