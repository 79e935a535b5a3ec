#include "platform/file_bytes.h"

#include <windows.h>

#include "common/local_drive_path.h"

namespace tavc::platform {
namespace {

// Paths of MAX_PATH characters or more open only in their extended form.
std::wstring OpenablePath(const std::wstring& in_l_path) {
  const bool l_drive = in_l_path.size() > 2 && in_l_path[1] == L':' && in_l_path[2] == L'\\';
  if (in_l_path.size() >= MAX_PATH && l_drive) return L"\\\\?\\" + in_l_path;
  return in_l_path;
}

}  // namespace

FileReadResult ReadWholeFile(const std::wstring& in_l_path, std::size_t in_l_limit,
                             std::vector<std::uint8_t>* out_l_data, std::uint32_t* out_l_error) {
  out_l_data->clear();
  if (in_l_path.empty()) {
    *out_l_error = ERROR_FILE_NOT_FOUND;
    return FileReadResult::kOpenFailed;
  }
  if (!IsLocalDrivePath(in_l_path)) {
    *out_l_error = ERROR_BAD_PATHNAME;
    return FileReadResult::kOpenFailed;
  }
  HANDLE l_file = CreateFileW(OpenablePath(in_l_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (l_file == INVALID_HANDLE_VALUE) {
    *out_l_error = GetLastError();
    return FileReadResult::kOpenFailed;
  }
  FileReadResult l_result = FileReadResult::kOk;
  LARGE_INTEGER l_size{};
  if (!GetFileSizeEx(l_file, &l_size) || l_size.QuadPart < 0 ||
      static_cast<std::uint64_t>(l_size.QuadPart) > in_l_limit) {
    l_result = FileReadResult::kTooLarge;
  } else {
    out_l_data->resize(static_cast<std::size_t>(l_size.QuadPart));
    std::size_t l_done = 0;
    while (l_done < out_l_data->size()) {
      DWORD l_read = 0;
      const BOOL l_ok = ReadFile(l_file, out_l_data->data() + l_done,
                                 static_cast<DWORD>(out_l_data->size() - l_done), &l_read, nullptr);
      if (!l_ok || l_read == 0) {
        *out_l_error = l_ok ? ERROR_HANDLE_EOF : GetLastError();
        l_result = FileReadResult::kReadFailed;
        out_l_data->clear();
        break;
      }
      l_done += l_read;
    }
  }
  CloseHandle(l_file);
  return l_result;
}

}  // namespace tavc::platform
