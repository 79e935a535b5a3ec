// Stands in for rundll32.exe beside TAV.exe in the end-to-end tests: instead
// of opening a browser it appends its command line (UTF-8, one line) to the
// file named by TAV_BROWSER_LOG.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t l_path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"TAV_BROWSER_LOG", l_path, MAX_PATH) == 0) return 1;
  const std::wstring l_line = std::wstring(GetCommandLineW()) + L"\n";
  const int l_size = WideCharToMultiByte(CP_UTF8, 0, l_line.c_str(), static_cast<int>(l_line.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string l_bytes(static_cast<std::size_t>(l_size > 0 ? l_size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, l_line.c_str(), static_cast<int>(l_line.size()), &l_bytes[0], l_size, nullptr,
                      nullptr);
  const HANDLE l_file = CreateFileW(l_path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (l_file == INVALID_HANDLE_VALUE) return 1;
  DWORD l_written = 0;
  const BOOL l_ok = WriteFile(l_file, l_bytes.data(), static_cast<DWORD>(l_bytes.size()), &l_written, nullptr);
  CloseHandle(l_file);
  return l_ok ? 0 : 1;
}
