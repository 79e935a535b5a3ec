#pragma once
// Results of every card library call, and the PC/SC results that mean the same
// to the user whichever way a reader or service reports them.
#include <cstdint>

#include "platform/scard_api.h"

namespace tavc {

inline constexpr int kCardOk = 0;
// A PC/SC call failed; CardErrorInfo::pcsc_api_error holds its result.
inline constexpr int kCardPcscFailure = 1;
// The card answered other than 90 00, or answered 90 00 with data that cannot be
// what was asked for; CardErrorInfo::sw1/sw2 hold the status bytes.
inline constexpr int kCardStatus = 2;
// Invalid argument, no connection, or an internal failure; nothing failed on the card.
inline constexpr int kCardInvalid = 3;
// EstablishCard only: no reader holds a card with the application.
inline constexpr int kCardNotFound = 4;

// The card left the reader during a command: readers report a pulled card in
// all these ways, and an empty answer is a pulled card too (recorded as removed).
inline bool IsCardRemoval(std::int32_t in_l_result) {
  return in_l_result == platform::kScardWRemovedCard || in_l_result == platform::kScardWResetCard ||
         in_l_result == platform::kScardENoSmartcard || in_l_result == platform::kScardENotTransacted;
}

// No reader to use: with none plugged in, Windows stops its smart-card service.
inline bool IsReaderMissing(std::int32_t in_l_result) {
  return in_l_result == platform::kScardENoReadersAvailable || in_l_result == platform::kScardENoService;
}

}  // namespace tavc
