#pragma once
// What the operations of both cards share: the run's records they read and
// write, the PC/SC session that their library's connection holds, and how a
// failing step ends (its code recorded at its location, the session closed, 1).
#include <cstdint>
#include <vector>

#include "host/card/card_code_table.h"
#include "host/card/digest_info.h"
#include "host/card/pcsc_connection.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

// How a card operation ended; the reason is in the ErrorInfo.
enum [[nodiscard]] CardOutcome : int { kOutcomeDone = 0, kOutcomeFailed = 1 };

// One card's module number and the generic codes of its session's own steps.
struct CardSessionCodes {
  std::uint16_t module;
  // Set-up (routine 0x01): no data store (point 1), no result data (2), bad arguments (3).
  const wchar_t* establish;
  // A library call refused its arguments (routine 0x12, point 1).
  const wchar_t* invalid_call;
};

class CardSession {
 public:
  CardSession(const CardSession&) = delete;
  CardSession& operator=(const CardSession&) = delete;

  // Result of a library call: 0 stays 0; anything else records the table's code,
  // closes the session and gives 1.
  CardOutcome CheckError(int in_l_result, const CardCodeTable& in_l_table);
  void ReleaseCardSession() { m_connection_.ReleaseCard(); }
  // 1 while a session is open.
  int ValidateCardSession() const { return m_connection_.HasContext() || m_connection_.HasCard() ? 1 : 0; }

 protected:
  CardSession(platform::SCardApi& in_l_api, const CardSessionCodes& in_l_codes)
      : m_connection_(in_l_api), m_codes_(in_l_codes) {}
  ~CardSession() = default;

  PcscConnection& Connection() { return m_connection_; }
  // The first half of setting up a session: keeps the three records for the
  // later operations and closes a session still open from an earlier action.
  CardOutcome TakeRecords(ErrorInfo* in_l_error_info, DataStore* in_l_data_store, ResultData* in_l_result_data);
  // The second half, once the library tried to connect. A context that could
  // not be established (in_l_library_no_context, the library's own code) is
  // recorded as in_l_no_context with the PC/SC result; the rest by in_l_table.
  CardOutcome Opened(int in_l_result, const wchar_t* in_l_library_no_context, const wchar_t* in_l_no_context,
                     const CardCodeTable& in_l_table);
  // SetCardError with the location, close the session, 1.
  CardOutcome Fail(const wchar_t* in_l_code, std::uint8_t in_l_routine, std::uint8_t in_l_point);
  // The shared first checks of an operation: context, card, data store and, when
  // asked, result data, as points 1 to 4.
  bool CheckMembers(const wchar_t* in_l_code, std::uint8_t in_l_routine, bool in_l_need_result_data);
  // The data store's digests, every one checked before the first command so
  // that none is signed when one cannot be. A fault fails the operation at point
  // 5 (no digest), 6 (an empty one) or in_l_bad_point (not a SHA-256 DigestInfo).
  bool TakeDigestInfos(const wchar_t* in_l_code, std::uint8_t in_l_routine, std::uint8_t in_l_bad_point,
                       std::vector<DigestInfo>* out_l_digest_infos);

  ErrorInfo* m_error_info_ = nullptr;
  DataStore* m_data_store_ = nullptr;
  ResultData* m_result_data_ = nullptr;
  CardErrorInfo m_card_error_info_;

 private:
  PcscConnection m_connection_;
  const CardSessionCodes& m_codes_;
};

}  // namespace tavc
