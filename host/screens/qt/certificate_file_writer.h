#pragma once
// Writes a certificate's DER bytes to a file without losing what was there:
// the bytes go to a new file of its own beside the target first (never one
// that exists), which replaces the target only once every byte is on disk.
#include <string>

namespace tavc {

// 0 when written; 6 when the hexadecimal text is not a certificate's bytes;
// 7 when the file cannot be written (the target is left as it was).
int WriteCertificateFile(const std::string& in_l_path, const std::wstring& in_l_hex);

}  // namespace tavc
