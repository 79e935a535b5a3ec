#include "host/screens/win32/certificate_file_writer.h"

#include <windows.h>

#include <vector>

#include "host/cert/hex_codec.h"

namespace tavc {
namespace {

constexpr int kBadBytes = 6;
constexpr int kNotWritten = 7;

bool WriteAll(const std::wstring& in_l_path, const std::vector<std::uint8_t>& in_l_bytes) {
  const HANDLE l_file = CreateFileW(in_l_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
  if (l_file == INVALID_HANDLE_VALUE) return false;
  DWORD l_written = 0;
  const bool l_whole = WriteFile(l_file, in_l_bytes.data(), static_cast<DWORD>(in_l_bytes.size()), &l_written,
                                 nullptr) != FALSE &&
                       l_written == in_l_bytes.size();
  const bool l_flushed = l_whole && FlushFileBuffers(l_file) != FALSE;
  return CloseHandle(l_file) != FALSE && l_flushed;
}

}  // namespace

int WriteCertificateFile(const wchar_t* in_l_path, const std::wstring& in_l_hex) {
  std::vector<std::uint8_t> l_bytes;
  if (in_l_hex.empty() || !HexToBytes(in_l_hex, l_bytes)) return kBadBytes;
  const std::wstring l_target(in_l_path);
  const std::wstring l_part = l_target + L".part";
  if (!WriteAll(l_part, l_bytes) ||
      !MoveFileExW(l_part.c_str(), l_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(l_part.c_str());
    return kNotWritten;
  }
  return 0;
}

}  // namespace tavc
