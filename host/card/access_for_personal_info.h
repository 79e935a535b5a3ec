#pragma once
// The user-level operations on the My Number card. Each runs a fixed sequence of
// card commands; a failing step records one code in the ErrorInfo, closes the
// session and returns 1. Success is 0.
//
// Location points added to the generic codes (module 0x4002):
//   ComputeSignature (13) point 8: a digest that is not a SHA-256 DigestInfo in
//     hexadecimal; refused before any command is sent.
//   ExtractCombinationCode (15) point 5: the uuid is not 32 hexadecimal digits.
#include <string>

#include "host/card/card_session.h"
#include "host/card/library_for_personal_info.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/request_modes.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

class AccessForPersonalInfo : public CardSession {
 public:
  explicit AccessForPersonalInfo(platform::SCardApi& in_l_api);

  // Keeps the three pointers for the later operations, sets the password type
  // from the mode and opens the session.
  CardOutcome EstablishCardSession(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                   ResultData* in_l_result_data);
  CardOutcome CheckCardPassword();
  CardOutcome GetCertificate();
  // Signs every digest, or in mode "01" the first only. Polls "Cancel_<pid>"
  // before each digest; a cancelled loop returns 1 and leaves the ErrorInfo as
  // it was.
  CardOutcome ComputeSignature();
  CardOutcome ExtractPersonalInfo();
  CardOutcome ExtractCityCode();
  CardOutcome ExtractCombinationCode();
  CardOutcome ChangePassword();

 private:
  struct ChangePasswordCodes {
    CardCodeTable select;
    CardCodeTable verify;
    CardCodeTable change;
  };
  CardOutcome ChangePasswordSteps(int in_l_ap_number, int in_l_password_type, const std::wstring& in_l_current,
                                  const std::wstring& in_l_new, const ChangePasswordCodes& in_l_codes);
  // The request's mode; kUnknown while no store is given.
  RequestMode Mode() const;

  LibraryForPersonalInfo m_library_;
};

}  // namespace tavc
