#pragma once
// The user-level operations on the My Number card. Each runs a fixed sequence of
// card commands; a failing step records one code in the ErrorInfo, closes the
// session and returns 1. Success is 0.
//
// Location points added to the generic codes (module 0x4002):
//   ComputeSignature (13) point 8: a digest that is not a SHA-256 DigestInfo in
//     hexadecimal; refused before any command is sent.
//   ExtractCombinationCode (15) point 5: the uuid is not 32 hexadecimal digits.
#include <cstdint>
#include <string>

#include "host/card/card_code_table.h"
#include "host/card/library_for_personal_info.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

class AccessForPersonalInfo {
 public:
  explicit AccessForPersonalInfo(platform::SCardApi& in_l_api) : m_library_(in_l_api) {}
  ~AccessForPersonalInfo() { ReleaseCardSession(); }
  AccessForPersonalInfo(const AccessForPersonalInfo&) = delete;
  AccessForPersonalInfo& operator=(const AccessForPersonalInfo&) = delete;

  // Keeps the three pointers for the later operations, sets the password type
  // from the mode and opens the session.
  int EstablishCardSession(ErrorInfo* in_l_error_info, DataStore* in_l_data_store, ResultData* in_l_result_data);
  int CheckCardPassword();
  int GetCertificate();
  // Signs every digest, or in mode "01" the first only. Polls "Cancel_<pid>"
  // before each digest; a cancelled loop returns 1 and leaves the ErrorInfo as
  // it was.
  int ComputeSignature();
  int ExtractPersonalInfo();
  int ExtractCityCode();
  int ExtractCombinationCode();
  int ChangePassword();
  // Result of a library call: 0 stays 0; anything else records the table's code,
  // closes the session and gives 1.
  int CheckError(int in_l_result, const CardCodeTable& in_l_table);
  void ReleaseCardSession();
  // 1 while a session is open.
  int ValidateCardSession() const { return m_context_handle_ != 0 || m_card_handle_ != 0 ? 1 : 0; }

 private:
  // SetCardError with the location, close the session, 1.
  int Fail(const wchar_t* in_l_code, std::uint8_t in_l_routine, std::uint8_t in_l_point);
  // The shared first checks of an operation: context, card, data store and, when
  // asked, result data, as points 1 to 4.
  bool CheckMembers(const wchar_t* in_l_code, std::uint8_t in_l_routine, bool in_l_need_result_data);
  struct ChangePasswordCodes {
    CardCodeTable select;
    CardCodeTable verify;
    CardCodeTable change;
  };
  int ChangePasswordSteps(int in_l_ap_number, int in_l_password_type, const std::wstring& in_l_current,
                          const std::wstring& in_l_new, const ChangePasswordCodes& in_l_codes);
  // The request's mode; kUnknown while no store is given.
  RequestMode Mode() const;

  platform::ScardContext m_context_handle_ = 0;
  platform::ScardHandle m_card_handle_ = 0;
  ErrorInfo* m_error_info_ = nullptr;
  DataStore* m_data_store_ = nullptr;
  ResultData* m_result_data_ = nullptr;
  LibraryForPersonalInfo m_library_;
  CardErrorInfo m_card_error_info_;
};

}  // namespace tavc
