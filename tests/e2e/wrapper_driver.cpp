// Plays the browser in front of TAV_Wrapper.exe: its standard input is a
// Windows pipe the driver writes frames into, its standard output the answer
// file. Acts on TAV's screens (whatever process shows them) and on the
// wrapper's own boxes, and times the relay.
//
//   wrapper_driver <TAV_Wrapper.exe> <answer-file> <step>...
//   wrapper_driver - - <step>...     only acts on TAV's screens (a browser started
//                                    the wrapper): screen, click, fill, close, alert,
//                                    mark, gone
//
//   send=<file>      write the file's bytes to the wrapper's standard input
//   eof              close the wrapper's standard input (the browser is gone)
//   screen=<Name>    wait until TAV's frame shows the screen
//   click=<id>       press a button of TAV's current screen
//   fill=<id>:<text> set the text of a control of TAV's current screen (a password)
//   close            close TAV's frame window (its close box)
//   end              once TAV shows a screen, close its frame and confirm the end
//                    confirmation if one appears
//   alert=ok|cancel  wait for TAV's end confirmation and answer it
//   open=alert       wait until TAV's end confirmation is open, and leave it open
//   key=enter|escape press the key on TAV's current screen
//   type=<id>:<text> set the text of a control of the wrapper's file dialog
//   press=<id>       press a button of the wrapper's file dialog
//   shows=<id>:<text> wait until a control of the wrapper's file dialog contains the text
//   bold=<id>        check that a control of the file dialog has room for its text in bold
//   box=<code>       wait for the wrapper's error box, check it names the code, press OK
//   layout=file|box  check the layout of the wrapper's file dialog, or of its open box
//                    (error box or end confirmation): all of it inside the work
//                    area, no overlap, no cut text
//   snap=<name>      wait while the test script takes a screenshot
//                    (files <name>.ready / <name>.done in %TAV_SNAP_DIR%)
//   hold=<file>      create <file>.ready, wait for <file>.done (another run goes meanwhile)
//   written=<file>   wait until the answer holds exactly the file's bytes
//   wclose           close the wrapper's frame (hidden or not) and wait for its end
//                    confirmation
//   confirm=ok|cancel  answer the wrapper's end confirmation if it is still open
//   pause=<ms>       wait
//   exit=<code>      wait until the wrapper ends with this exit code
//   within=<ms>      the wrapper ends within the time
//   gone[=<ms>]      wait (30 s, or the time) until neither TAV.exe nor TAV_Wrapper.exe runs
//   mark=<name>      print "<name> <ms>": the wall clock in milliseconds since 1970,
//                    which a browser's Date.now() shares
//   time             wait for the wrapper's end, print the performance counter at
//                    the first send and then
// After the steps the driver waits for the wrapper's end (the answer is then
// complete). Exit code 0 when every step went as expected; otherwise 1 and the reason on
// standard error.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialog_layout.h"

namespace {

constexpr DWORD kWaitLimitMs = 30000;
constexpr DWORD kPollMs = 20;
constexpr int kWrapperMessageId = 1008;
constexpr int kFileNameId = 1002;
// The wrapper's dialogs are set in 9-point Meiryo UI.
constexpr DialogFont kWrapperFont = {L"Meiryo UI", 9};

int Fail(const std::wstring& in_reason) {
  std::fwprintf(stderr, L"wrapper_driver: %ls\n", in_reason.c_str());
  return 1;
}

struct Search {
  DWORD process_id;  // 0: any process
  const wchar_t* class_name;
  HWND found;
  bool hidden_too;
};

BOOL CALLBACK FindTopLevel(HWND in_window, LPARAM in_search) {
  auto* l_search = reinterpret_cast<Search*>(in_search);
  DWORD l_pid = 0;
  GetWindowThreadProcessId(in_window, &l_pid);
  wchar_t l_class[256] = {};
  GetClassNameW(in_window, l_class, 256);
  if ((l_search->process_id != 0 && l_pid != l_search->process_id) ||
      (!l_search->hidden_too && !IsWindowVisible(in_window)) ||
      std::wstring(l_class) != l_search->class_name) {
    return TRUE;
  }
  l_search->found = in_window;
  return FALSE;
}

HWND TopLevel(DWORD in_pid, const wchar_t* in_class, bool in_hidden_too = false) {
  Search l_search{in_pid, in_class, nullptr, in_hidden_too};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&l_search));
  return l_search.found;
}

// The wrapper's certificate-file dialog inside its frame.
HWND FileDialog(DWORD in_pid) {
  const HWND l_frame = TopLevel(in_pid, L"TAV_WrapperFrame");
  if (l_frame == nullptr) return nullptr;
  for (HWND l_child = GetWindow(l_frame, GW_CHILD); l_child != nullptr; l_child = GetWindow(l_child, GW_HWNDNEXT)) {
    if (GetDlgItem(l_child, kFileNameId) != nullptr) return l_child;
  }
  return nullptr;
}

HWND CurrentScreen() {
  const HWND l_frame = TopLevel(0, L"TavoriFrame");
  if (l_frame == nullptr) return nullptr;
  for (HWND l_child = GetWindow(l_frame, GW_CHILD); l_child != nullptr; l_child = GetWindow(l_child, GW_HWNDNEXT)) {
    // Each screen is a dialog whose window text names its class.
    wchar_t l_class[16] = {};
    GetClassNameW(l_child, l_class, 16);
    if (IsWindowVisible(l_child) && std::wstring(l_class) == L"#32770") return l_child;
  }
  return nullptr;
}

// TAV's end confirmation: a dialog owned by its frame.
HWND TavEndConfirmation() {
  const HWND l_frame = TopLevel(0, L"TavoriFrame");
  const HWND l_alert = TopLevel(0, L"#32770");
  return l_frame != nullptr && l_alert != nullptr && GetWindow(l_alert, GW_OWNER) == l_frame ? l_alert : nullptr;
}

// The wrapper's end confirmation: its box with a Cancel button.
HWND EndConfirmation(DWORD in_pid) {
  const HWND l_box = TopLevel(in_pid, L"#32770");
  return l_box != nullptr && GetDlgItem(l_box, IDCANCEL) != nullptr ? l_box : nullptr;
}

template <typename Predicate>
bool WaitFor(Predicate in_ready, DWORD in_limit_ms = kWaitLimitMs) {
  for (DWORD l_waited = 0; l_waited < in_limit_ms; l_waited += kPollMs) {
    if (in_ready()) return true;
    Sleep(kPollMs);
  }
  return in_ready();
}

bool AnyRuns(const std::vector<std::wstring>& in_names) {
  const HANDLE l_snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (l_snapshot == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32W l_entry = {};
  l_entry.dwSize = sizeof(l_entry);
  bool l_found = false;
  for (BOOL l_more = Process32FirstW(l_snapshot, &l_entry); l_more && !l_found;
       l_more = Process32NextW(l_snapshot, &l_entry)) {
    for (const std::wstring& l_name : in_names) l_found = l_found || lstrcmpiW(l_entry.szExeFile, l_name.c_str()) == 0;
  }
  CloseHandle(l_snapshot);
  return l_found;
}

bool ReadWholeFile(const std::wstring& in_path, std::vector<char>& out_bytes) {
  // The wrapper may still hold the answer file open for writing.
  const HANDLE l_file = CreateFileW(in_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (l_file == INVALID_HANDLE_VALUE) return false;
  out_bytes.resize(GetFileSize(l_file, nullptr));
  DWORD l_read = 0;
  const BOOL l_ok = out_bytes.empty() || ReadFile(l_file, out_bytes.data(), static_cast<DWORD>(out_bytes.size()),
                                                  &l_read, nullptr);
  CloseHandle(l_file);
  return l_ok && l_read == out_bytes.size();
}

long long UnixMilliseconds() {
  FILETIME l_time;
  GetSystemTimePreciseAsFileTime(&l_time);
  const unsigned long long l_ticks = (static_cast<unsigned long long>(l_time.dwHighDateTime) << 32) | l_time.dwLowDateTime;
  constexpr unsigned long long kTicksTo1970 = 116444736000000000ULL;
  return static_cast<long long>((l_ticks - kTicksTo1970) / 10000);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER l_now;
  QueryPerformanceCounter(&l_now);
  return l_now;
}

// The wrapper with a Windows pipe as standard input and the answer file as output.
bool StartWrapper(const wchar_t* in_program, const wchar_t* in_answer, HANDLE& out_input, PROCESS_INFORMATION& out_process) {
  SECURITY_ATTRIBUTES l_inherit = {sizeof(l_inherit), nullptr, TRUE};
  HANDLE l_in_read = nullptr;
  if (!CreatePipe(&l_in_read, &out_input, &l_inherit, 0)) return false;
  SetHandleInformation(out_input, HANDLE_FLAG_INHERIT, 0);
  const HANDLE l_answer = CreateFileW(in_answer, GENERIC_WRITE, FILE_SHARE_READ, &l_inherit, CREATE_ALWAYS, 0, nullptr);
  if (l_answer == INVALID_HANDLE_VALUE) return false;
  STARTUPINFOW l_startup = {};
  l_startup.cb = sizeof(l_startup);
  l_startup.dwFlags = STARTF_USESTDHANDLES;
  l_startup.hStdInput = l_in_read;
  l_startup.hStdOutput = l_answer;
  l_startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring l_command = L"\"" + std::wstring(in_program) + L"\"";
  const BOOL l_started =
      CreateProcessW(in_program, l_command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &l_startup, &out_process);
  CloseHandle(l_in_read);
  CloseHandle(l_answer);
  return l_started != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Fail(L"usage: wrapper_driver <TAV_Wrapper.exe> <answer-file> <step>...");
  const bool l_attach_only = std::wstring(argv[1]) == L"-";
  HANDLE l_in_write = nullptr;
  PROCESS_INFORMATION l_process = {};
  if (!l_attach_only && !StartWrapper(argv[1], argv[2], l_in_write, l_process)) {
    return Fail(L"cannot start " + std::wstring(argv[1]));
  }

  LARGE_INTEGER l_sent = {};
  for (int l_i = 3; l_i < argc; ++l_i) {
    const std::wstring l_step = argv[l_i];
    const std::size_t l_eq = l_step.find(L'=');
    const std::wstring l_verb = l_step.substr(0, l_eq);
    const std::wstring l_value = l_eq == std::wstring::npos ? L"" : l_step.substr(l_eq + 1);
    if (l_verb == L"send") {
      std::vector<char> l_bytes;
      if (!ReadWholeFile(l_value, l_bytes)) return Fail(L"cannot read " + l_value);
      if (l_sent.QuadPart == 0) l_sent = Now();
      DWORD l_written = 0;
      if (!l_bytes.empty() &&
          (!WriteFile(l_in_write, l_bytes.data(), static_cast<DWORD>(l_bytes.size()), &l_written, nullptr) ||
           l_written != l_bytes.size())) {
        return Fail(L"the wrapper did not take " + l_value);
      }
    } else if (l_verb == L"eof") {
      CloseHandle(l_in_write);
      l_in_write = nullptr;
    } else if (l_verb == L"screen") {
      if (!WaitFor([&] {
            const HWND l_screen = CurrentScreen();
            return l_screen != nullptr && WindowText(l_screen) == l_value;
          })) {
        return Fail(L"TAV showed no screen " + l_value);
      }
    } else if (l_verb == L"click") {
      const HWND l_screen = CurrentScreen();
      if (l_screen == nullptr) return Fail(L"no screen to click on");
      const int l_id = _wtoi(l_value.c_str());
      PostMessageW(l_screen, WM_COMMAND, MAKEWPARAM(l_id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(l_screen, l_id)));
    } else if (l_verb == L"close") {
      const HWND l_frame = TopLevel(0, L"TavoriFrame");
      if (l_frame == nullptr) return Fail(L"no frame to close");
      PostMessageW(l_frame, WM_CLOSE, 0, 0);
    } else if (l_verb == L"end") {
      if (!WaitFor([] { return CurrentScreen() != nullptr; })) return Fail(L"TAV showed no screen");
      PostMessageW(TopLevel(0, L"TavoriFrame"), WM_CLOSE, 0, 0);
      for (DWORD l_waited = 0; l_waited < 5000; l_waited += kPollMs) {
        const HWND l_alert = TavEndConfirmation();
        if (l_alert != nullptr) {
          PostMessageW(l_alert, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(l_alert, IDOK)));
          break;
        }
        if (TopLevel(0, L"TavoriFrame") == nullptr) break;
        Sleep(kPollMs);
      }
    } else if (l_verb == L"alert" || l_verb == L"open") {
      HWND l_alert = nullptr;
      WaitFor([&] { return (l_alert = TavEndConfirmation()) != nullptr; });
      if (l_alert == nullptr) return Fail(L"no end confirmation appeared");
      if (l_verb == L"open") continue;
      const int l_button = l_value == L"ok" ? IDOK : IDCANCEL;
      PostMessageW(l_alert, WM_COMMAND, MAKEWPARAM(l_button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(l_alert, l_button)));
    } else if (l_verb == L"key") {
      const HWND l_screen = CurrentScreen();
      if (l_screen == nullptr) return Fail(L"no screen to press a key on");
      // TAV's message loop turns the key into the screen's button.
      PostMessageW(l_screen, WM_KEYDOWN, l_value == L"enter" ? VK_RETURN : VK_ESCAPE, 1);
    } else if (l_verb == L"fill") {
      const HWND l_screen = CurrentScreen();
      const std::size_t l_colon = l_value.find(L':');
      if (l_screen == nullptr) return Fail(L"no screen to fill in");
      if (l_colon == std::wstring::npos) return Fail(L"fill needs <id>:<text>");
      const std::wstring l_text = l_value.substr(l_colon + 1);
      SendMessageW(GetDlgItem(l_screen, _wtoi(l_value.c_str())), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(l_text.c_str()));
    } else if (l_verb == L"type" || l_verb == L"press") {
      HWND l_dialog = nullptr;
      WaitFor([&] { return (l_dialog = FileDialog(l_process.dwProcessId)) != nullptr; });
      if (l_dialog == nullptr) return Fail(L"the wrapper shows no file dialog");
      const int l_id = _wtoi(l_value.c_str());
      if (l_verb == L"press") {
        PostMessageW(l_dialog, WM_COMMAND, MAKEWPARAM(l_id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(l_dialog, l_id)));
      } else {
        const std::size_t l_colon = l_value.find(L':');
        if (l_colon == std::wstring::npos) return Fail(L"type needs <id>:<text>");
        const std::wstring l_text = l_value.substr(l_colon + 1);
        SendMessageW(GetDlgItem(l_dialog, l_id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(l_text.c_str()));
      }
    } else if (l_verb == L"shows") {
      const std::size_t l_colon = l_value.find(L':');
      if (l_colon == std::wstring::npos) return Fail(L"shows needs <id>:<text>");
      const std::wstring l_text = l_value.substr(l_colon + 1);
      if (!WaitFor([&] {
            const HWND l_dialog = FileDialog(l_process.dwProcessId);
            return l_dialog != nullptr &&
                   WindowText(GetDlgItem(l_dialog, _wtoi(l_value.c_str()))).find(l_text) != std::wstring::npos;
          })) {
        return Fail(L"the file dialog's control " + l_value.substr(0, l_colon) + L" does not show the text");
      }
    } else if (l_verb == L"box") {
      HWND l_box = nullptr;
      WaitFor([&] { return (l_box = TopLevel(l_process.dwProcessId, L"#32770")) != nullptr; });
      if (l_box == nullptr) return Fail(L"the wrapper showed no box");
      if (WindowText(GetDlgItem(l_box, kWrapperMessageId)).find(l_value) == std::wstring::npos) {
        return Fail(L"the wrapper's box does not name " + l_value);
      }
      PostMessageW(l_box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else if (l_verb == L"bold") {
      const HWND l_dialog = FileDialog(l_process.dwProcessId);
      if (l_dialog == nullptr) return Fail(L"the wrapper shows no file dialog");
      const std::wstring l_fault =
          TextFault(GetDlgItem(l_dialog, _wtoi(l_value.c_str())), {kWrapperFont.face, kWrapperFont.points, FW_BOLD});
      if (!l_fault.empty()) return Fail(L"in bold, " + l_fault);
    } else if (l_verb == L"layout") {
      HWND l_dialog = nullptr;
      WaitFor([&] {
        l_dialog = l_value == L"file" ? FileDialog(l_process.dwProcessId) : TopLevel(l_process.dwProcessId, L"#32770");
        return l_dialog != nullptr;
      });
      if (l_dialog == nullptr) return Fail(L"the wrapper shows no " + l_value);
      std::wstring l_fault = WorkAreaFault(l_dialog, l_dialog);
      if (l_fault.empty()) l_fault = LayoutFault(l_dialog, kWrapperFont);
      if (!l_fault.empty()) return Fail(L"the wrapper's " + l_value + L": " + l_fault);
    } else if (l_verb == L"snap") {
      wchar_t l_dir[MAX_PATH] = {};
      if (GetEnvironmentVariableW(L"TAV_SNAP_DIR", l_dir, MAX_PATH) == 0) continue;
      const std::wstring l_base = std::wstring(l_dir) + L"\\" + l_value;
      CloseHandle(CreateFileW((l_base + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      if (!WaitFor([&] { return GetFileAttributesW((l_base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; })) {
        return Fail(L"no screenshot was taken of " + l_value);
      }
    } else if (l_verb == L"hold") {
      CloseHandle(CreateFileW((l_value + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
      if (!WaitFor([&] { return GetFileAttributesW((l_value + L".done").c_str()) != INVALID_FILE_ATTRIBUTES; })) {
        return Fail(L"nobody released " + l_value);
      }
    } else if (l_verb == L"written") {
      std::vector<char> l_expected;
      if (!ReadWholeFile(l_value, l_expected)) return Fail(L"cannot read " + l_value);
      std::vector<char> l_answer;
      if (!WaitFor([&] { return ReadWholeFile(argv[2], l_answer) && l_answer == l_expected; })) {
        return Fail(L"the answer never became " + l_value);
      }
    } else if (l_verb == L"wclose") {
      HWND l_frame = nullptr;
      WaitFor([&] { return (l_frame = TopLevel(l_process.dwProcessId, L"TAV_WrapperFrame", true)) != nullptr; });
      if (l_frame == nullptr) return Fail(L"the wrapper has no frame");
      PostMessageW(l_frame, WM_CLOSE, 0, 0);
      if (!WaitFor([&] { return EndConfirmation(l_process.dwProcessId) != nullptr; })) {
        return Fail(L"the wrapper showed no end confirmation");
      }
    } else if (l_verb == L"confirm") {
      const HWND l_box = EndConfirmation(l_process.dwProcessId);
      const int l_button = l_value == L"ok" ? IDOK : IDCANCEL;
      if (l_box != nullptr) PostMessageW(l_box, WM_COMMAND, MAKEWPARAM(l_button, BN_CLICKED), 0);
    } else if (l_verb == L"pause") {
      Sleep(static_cast<DWORD>(_wtoi(l_value.c_str())));
    } else if (l_verb == L"within") {
      if (WaitForSingleObject(l_process.hProcess, static_cast<DWORD>(_wtoi(l_value.c_str()))) != WAIT_OBJECT_0) {
        return Fail(L"the wrapper did not end within " + l_value + L" ms");
      }
    } else if (l_verb == L"exit") {
      if (WaitForSingleObject(l_process.hProcess, kWaitLimitMs) != WAIT_OBJECT_0) return Fail(L"the wrapper runs on");
      DWORD l_exit = 0;
      GetExitCodeProcess(l_process.hProcess, &l_exit);
      if (l_exit != static_cast<DWORD>(_wtoi(l_value.c_str()))) {
        return Fail(L"the wrapper ended with exit code " + std::to_wstring(l_exit));
      }
    } else if (l_verb == L"time") {
      if (WaitForSingleObject(l_process.hProcess, kWaitLimitMs) != WAIT_OBJECT_0) return Fail(L"the wrapper runs on");
      const LARGE_INTEGER l_done = Now();
      std::wprintf(L"%lld %lld\n", l_sent.QuadPart, l_done.QuadPart);
    } else if (l_verb == L"mark") {
      std::wprintf(L"%ls %lld\n", l_value.c_str(), UnixMilliseconds());
      std::fflush(stdout);
    } else if (l_verb == L"gone") {
      const DWORD l_limit = l_value.empty() ? kWaitLimitMs : static_cast<DWORD>(_wtoi(l_value.c_str()));
      if (!WaitFor([] { return !AnyRuns({L"TAV.exe", L"TAV_Wrapper.exe"}); }, l_limit)) {
        return Fail(L"a program runs on");
      }
    } else {
      return Fail(L"unknown step " + l_step);
    }
  }
  if (!l_attach_only && WaitForSingleObject(l_process.hProcess, kWaitLimitMs) != WAIT_OBJECT_0) {
    return Fail(L"the wrapper runs on after the last step");
  }
  if (l_in_write != nullptr) CloseHandle(l_in_write);
  return 0;
}
