#include "host/screens/win32/certificate_file_writer.h"

#include <windows.h>

#include <vector>

#include "common/hex_codec.h"
#include "host/screens/save_path.h"

namespace tavc {
namespace {

constexpr int kBadBytes = 6;
constexpr int kNotWritten = 7;
// Names beside the target tried before giving up; one is taken only when no
// file of that name exists.
constexpr std::uint32_t kNameAttempts = 16;

// The path in full (".." and "/" resolved), in its extended-length form; empty when it has none.
std::wstring ExtendedFullPath(const wchar_t* in_l_path) {
  const DWORD l_size = GetFullPathNameW(in_l_path, 0, nullptr, nullptr);
  if (l_size == 0) return std::wstring();
  std::wstring l_full(l_size, L'\0');
  const DWORD l_length = GetFullPathNameW(in_l_path, l_size, &l_full[0], nullptr);
  if (l_length == 0 || l_length >= l_size) return std::wstring();
  l_full.resize(l_length);
  return ExtendedLengthPath(l_full);
}

// A file of our own beside the target, new, or INVALID_HANDLE_VALUE.
HANDLE CreateFileBeside(const std::wstring& in_l_target, std::wstring& out_l_path) {
  const std::uint32_t l_seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (std::uint32_t l_attempt = 0; l_attempt < kNameAttempts; ++l_attempt) {
    out_l_path = TemporaryPathBeside(in_l_target, l_seed + l_attempt * 0x9E3779B9U);
    if (out_l_path.empty()) return INVALID_HANDLE_VALUE;
    const HANDLE l_file = CreateFileW(out_l_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (l_file != INVALID_HANDLE_VALUE) return l_file;
    const DWORD l_error = GetLastError();
    if (l_error != ERROR_FILE_EXISTS && l_error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE in_l_file, const std::vector<std::uint8_t>& in_l_bytes) {
  DWORD l_written = 0;
  const bool l_whole =
      WriteFile(in_l_file, in_l_bytes.data(), static_cast<DWORD>(in_l_bytes.size()), &l_written, nullptr) != FALSE &&
      l_written == in_l_bytes.size();
  const bool l_flushed = l_whole && FlushFileBuffers(in_l_file) != FALSE;
  return CloseHandle(in_l_file) != FALSE && l_flushed;
}

}  // namespace

int WriteCertificateFile(const wchar_t* in_l_path, const std::wstring& in_l_hex) {
  std::vector<std::uint8_t> l_bytes;
  if (in_l_hex.empty() || !HexToBytes(in_l_hex, l_bytes)) return kBadBytes;
  const std::wstring l_target = ExtendedFullPath(in_l_path);
  if (l_target.empty()) return kNotWritten;
  std::wstring l_part;
  const HANDLE l_file = CreateFileBeside(l_target, l_part);
  if (l_file == INVALID_HANDLE_VALUE) return kNotWritten;
  if (!WriteAll(l_file, l_bytes) ||
      !MoveFileExW(l_part.c_str(), l_target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(l_part.c_str());
    return kNotWritten;
  }
  return 0;
}

}  // namespace tavc
