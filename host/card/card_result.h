#pragma once
// Results of every card library call.

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

}  // namespace tavc
