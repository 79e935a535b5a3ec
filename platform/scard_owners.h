#pragma once
// Move-only owners of a PC/SC context and of a card connection: however the
// scope that holds one is left, what it opened is let go of exactly once.
#include <utility>

#include "platform/owned_handle.h"
#include "platform/scard_api.h"

namespace tavc::platform {

using ScardContextOwner = OwnedHandle<SCardApi, ScardContext, &SCardApi::ReleaseContext>;

// The card also remembers how it is to be left.
class ScardCardOwner {
 public:
  ScardCardOwner() = default;
  ScardCardOwner(SCardApi& in_l_api, ScardHandle in_l_card) noexcept : m_api_(&in_l_api), m_card_(in_l_card) {}
  ScardCardOwner(ScardCardOwner&& io_l_other) noexcept
      : m_api_(io_l_other.m_api_),
        m_card_(std::exchange(io_l_other.m_card_, 0)),
        m_disposition_(std::exchange(io_l_other.m_disposition_, SCardApi::Disposition::kLeaveCard)) {}
  ScardCardOwner& operator=(ScardCardOwner&& io_l_other) noexcept {
    if (this != &io_l_other) {
      Reset();
      m_api_ = io_l_other.m_api_;
      m_card_ = std::exchange(io_l_other.m_card_, 0);
      m_disposition_ = std::exchange(io_l_other.m_disposition_, SCardApi::Disposition::kLeaveCard);
    }
    return *this;
  }
  ScardCardOwner(const ScardCardOwner&) = delete;
  ScardCardOwner& operator=(const ScardCardOwner&) = delete;
  ~ScardCardOwner() { Reset(); }

  ScardHandle Get() const noexcept { return m_card_; }
  // A PIN was verified through this connection: the card is reset when it ends,
  // so that the verification does not outlive it.
  void ResetCardOnRelease() noexcept { m_disposition_ = SCardApi::Disposition::kResetCard; }
  // Disconnects the card, if one is held.
  void Reset() noexcept {
    if (m_card_ != 0) m_api_->Disconnect(std::exchange(m_card_, 0), m_disposition_);
    m_disposition_ = SCardApi::Disposition::kLeaveCard;
  }

 private:
  SCardApi* m_api_ = nullptr;
  ScardHandle m_card_ = 0;
  SCardApi::Disposition m_disposition_ = SCardApi::Disposition::kLeaveCard;
};

}  // namespace tavc::platform
