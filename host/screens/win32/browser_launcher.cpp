#include "host/screens/win32/browser_launcher.h"

#include <windows.h>

#include <vector>

#include "host/screens/version_notice.h"

namespace tavc {

void OpenUrlWithDefaultBrowser(const std::wstring& in_l_address) {
  const std::wstring l_command = BrowserCommandLine(in_l_address);
  if (l_command.empty()) {
    OutputDebugStringW(L"TAV: the download address does not fit a command line");
    return;
  }
  // CreateProcessW may write into the command line.
  std::vector<wchar_t> l_line(l_command.begin(), l_command.end());
  l_line.push_back(L'\0');
  STARTUPINFOW l_startup{};
  l_startup.cb = sizeof l_startup;
  PROCESS_INFORMATION l_process{};
  if (!CreateProcessW(nullptr, l_line.data(), nullptr, nullptr, FALSE,
                      CREATE_BREAKAWAY_FROM_JOB | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &l_startup, &l_process)) {
    OutputDebugStringW(L"TAV: the browser could not be started");
    return;
  }
  CloseHandle(l_process.hThread);
  CloseHandle(l_process.hProcess);
}

}  // namespace tavc
