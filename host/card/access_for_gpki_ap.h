#pragma once
// The user-level operations on a GPKI card, on the pattern of the My Number card
// operations: a failing step records one code, closes the session and returns 1.
//
// Location point added to the generic codes (module 0x4003):
//   ComputeSignature (13) point 9: a digest that is not a SHA-256 DigestInfo in
//     hexadecimal; refused before any command is sent.
#include <cstdint>
#include <string>

#include "host/card/card_code_table.h"
#include "host/card/library_for_gpki_ap.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

class AccessForGpkiAp {
 public:
  explicit AccessForGpkiAp(platform::SCardApi& in_l_api) : m_library_(in_l_api) {}
  ~AccessForGpkiAp() { ReleaseCardSession(); }
  AccessForGpkiAp(const AccessForGpkiAp&) = delete;
  AccessForGpkiAp& operator=(const AccessForGpkiAp&) = delete;

  int EstablishCardSession(ErrorInfo* in_l_error_info, DataStore* in_l_data_store, ResultData* in_l_result_data);
  int CheckCardPassword();
  // The certificate file named by the data store's GPKI certificate type.
  int GetCertificate();
  // Polls "Cancel_<pid>" before each digest.
  int ComputeSignature();
  int ChangePassword();
  int CheckError(int in_l_result, const CardCodeTable& in_l_table);
  void ReleaseCardSession();
  int ValidateCardSession() const { return m_context_handle_ != 0 || m_card_handle_ != 0 ? 1 : 0; }

 private:
  int Fail(const wchar_t* in_l_code, std::uint8_t in_l_routine, std::uint8_t in_l_point);
  bool CheckMembers(const wchar_t* in_l_code, std::uint8_t in_l_routine, bool in_l_need_result_data);
  bool IsPasswordChange() const;

  platform::ScardContext m_context_handle_ = 0;
  platform::ScardHandle m_card_handle_ = 0;
  ErrorInfo* m_error_info_ = nullptr;
  DataStore* m_data_store_ = nullptr;
  ResultData* m_result_data_ = nullptr;
  LibraryForGpkiAp m_library_;
  CardErrorInfo m_card_error_info_;
};

}  // namespace tavc
