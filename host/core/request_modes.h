#pragma once
// The request modes TAV serves and the groups the request and answer rules use.
#include <string>

namespace tavc {

bool IsKnownMode(const std::wstring& in_l_mode);
// Modes that sign digests: "01", "02", "07", "11", "12".
bool IsSigningMode(const std::wstring& in_l_mode);
// Modes that accept "ca", "file_path" and "file_password": "02", "07".
bool IsCertificateChoiceMode(const std::wstring& in_l_mode);
// The per-mode code for a digest that is missing, empty or not Base64.
std::wstring DigestErrorCode(const std::wstring& in_l_mode);

}  // namespace tavc
