#pragma once
// The user-level operations on a GPKI card, on the pattern of the My Number card
// operations: a failing step records one code, closes the session and returns 1.
//
// Location point added to the generic codes (module 0x4003):
//   ComputeSignature (13) point 9: a digest that is not a SHA-256 DigestInfo in
//     hexadecimal; refused before any command is sent.
#include "host/card/card_session.h"
#include "host/card/library_for_gpki_ap.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

class AccessForGpkiAp : public CardSession {
 public:
  explicit AccessForGpkiAp(platform::SCardApi& in_l_api);

  CardOutcome EstablishCardSession(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                   ResultData* in_l_result_data);
  CardOutcome CheckCardPassword();
  // The certificate file named by the data store's GPKI certificate type.
  CardOutcome GetCertificate();
  // Polls "Cancel_<pid>" before each digest.
  CardOutcome ComputeSignature();
  CardOutcome ChangePassword();

 private:
  bool IsPasswordChange() const;

  LibraryForGpkiAp m_library_;
};

}  // namespace tavc
