#pragma once
// The request modes TAV serves, parsed once from the request's "mode" text, and
// the groups the request and answer rules use. The text itself is kept only to
// be echoed in the answer.
#include <string>

namespace tavc {

enum class RequestMode {
  kUnknown,                // any text TAV does not serve: refused at the answer
  kLogin,                  // "01": JPKI user-authentication signature
  kSign,                   // "02": JPKI signature, or a commercial card or a file
  kMyNumberInfo,           // "03": card-surface data with the individual number
  kPersonalInfo,           // "04": card-surface data without it
  kCancel,                 // "05": the page's cancel; served only as a second message
  kPasswordChange,         // "06": one of the ID card's passwords
  kSignWithConfirm,        // "07": as "02", the certificate confirmed first
  kGpkiSign,               // "11": GPKI card signature
  kGpkiSignWithConfirm,    // "12": as "11", the certificate confirmed first
  kGpkiPasswordChange,     // "13": the GPKI card's password
};

[[nodiscard]] RequestMode ParseRequestMode(const std::wstring& in_l_text);

// A mode a request may ask for (kUnknown and kCancel are not).
[[nodiscard]] bool IsKnownMode(RequestMode in_l_mode);
// Modes that sign digests: "01", "02", "07", "11", "12".
[[nodiscard]] bool IsSigningMode(RequestMode in_l_mode);
// Modes that accept "ca", "file_path" and "file_password": "02", "07".
[[nodiscard]] bool IsCertificateChoiceMode(RequestMode in_l_mode);
// Modes served by a GPKI card: "11", "12", "13".
[[nodiscard]] bool IsGpkiMode(RequestMode in_l_mode);
// The per-mode code for a digest that is missing, empty or not Base64.
[[nodiscard]] std::wstring DigestErrorCode(RequestMode in_l_mode);

}  // namespace tavc
