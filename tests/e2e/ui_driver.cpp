// Runs TAV.exe on one request and acts on its windows as a user would, then
// leaves the answer bytes in a file. Standard input of TAV is a Windows pipe
// that stays open until TAV ends (a closed or unreadable input would count as
// the caller having gone); standard output is the answer file.
//
//   ui_driver <TAV.exe> <request-file> <answer-file> <step>...
//
// Steps, in order:
//   eof                  close TAV's standard input (the caller is gone)
//   write=<file>         write the file's bytes to TAV's standard input (a later frame)
//   screen=<Name>        wait until the frame shows the screen ("ErrorScreen", ...)
//   text=<id>:<part>     wait until a control of the current screen contains the text
//                        (text=1039:<part> reads the red error line)
//   type=<id>:<text>     type the text into a control of the current screen, key by key
//   set=<id>:<text>      set the text of an edit control at once (as a paste does)
//   tick=<id>            tick or untick a check box of the current screen
//   link=<id>            follow the link of a link control of the current screen
//   gone=<Name>          wait until the screen is no longer shown ("ProcessingScreen")
//   enabled=<id>:0|1     wait until a control of the current screen is disabled / enabled
//   click=<id>           press a button of the current screen
//   key=enter|escape     press the key on the current screen
//   close                close the frame window (its close box)
//   alert=ok|cancel      wait for the end confirmation, check its texts and that it lies
//                        inside the work area, answer it
//   end                  once a screen shows, close the frame and confirm the end
//                        confirmation if one appears (ends any run)
//   layout[=<face>]      check that the whole frame lies inside the display's work
//                        area and shows all of the current screen, that no two
//                        visible controls of the screen overlap (the information
//                        button sits in the banner's corner), that no text, check
//                        box, radio or push button cuts its text in the screen's
//                        font (Meiryo UI unless named, at the size the screen is
//                        laid out in), and that a multi-line field without a
//                        vertical scroll bar shows every line its text wraps into;
//                        with TAV_LAYOUT_LOG set, add the frame's size and place
//                        to that file
//   color=<id>:red|black wait until a control's text is drawn in red, or in black
//                        without red (read back from the screen's pixels)
//   defid=<id>           make a button the current screen's default (DM_SETDEFID) and
//                        check that the dialog took it
//   absent=<id>          check that the current screen has no control with the ID
//   bold=<id>            check that a control of the current screen has room for its
//                        text in the screen's bold font (so it is sized for bold)
//   mark=<name>          print "<name> <ms>" on standard output: the time since TAV
//                        started; once TAV has ended "end <ms>" follows
//   radio=<id>           click a radio button of the current screen
//   listkey=<id>:home|end|up|down  press the key in a list control of the current screen
//   row=<id>:<n>         wait until row n of a list control of the current screen is selected
//   caption=<text>       wait until the frame's caption is the text
//   save=<path>|cancel   in the save dialog, save under the name, or cancel it
//   version=<n>          check the version information dialog (product, "Ver<n>", maker,
//                        inside the work area), take its screenshot
//                        (version_information), close it
//   open=alert|version|save  wait until the end confirmation, the version information or the
//                        save dialog is open, and leave it open
//   snap=<name>          wait while the test script takes a screenshot
//                        (files <name>.ready / <name>.done in %TAV_SNAP_DIR%)
// Afterwards TAV must end by itself with exit code 0. Exit code 0 when all went
// as expected; otherwise 1 with the reason on standard error and in
// <answer-file>.log (written at once, so that it is kept even when standard
// error is lost). A screen is a dialog inside the frame named for its class.
// The request is written from a thread once TAV runs, so that a request larger
// than the pipe's buffer does not block the driver.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "dialog_layout.h"

namespace {

constexpr DWORD kWaitLimitMs = 20000;
constexpr DWORD kPollMs = 50;
constexpr const wchar_t* kFrameClass = L"TavoriFrame";
constexpr int kEndAlertTextId = 1050;

struct Run {
  ULONGLONG started_at = 0;
  bool marked = false;
  PROCESS_INFORMATION process{};
  HANDLE input_writer = nullptr;
  std::thread request_writer;
};

HANDLE g_reasons = INVALID_HANDLE_VALUE;

// One line in UTF-8, written at once.
void WriteLine(HANDLE in_l_file, const std::wstring& in_l_text) {
  const std::wstring l_line = in_l_text + L"\r\n";
  const int l_units = static_cast<int>(l_line.size());
  const int l_size = WideCharToMultiByte(CP_UTF8, 0, l_line.c_str(), l_units, nullptr, 0, nullptr, nullptr);
  std::string l_bytes(static_cast<std::size_t>(l_size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, l_line.c_str(), l_units, l_bytes.data(), static_cast<int>(l_bytes.size()), nullptr,
                      nullptr);
  DWORD l_written = 0;
  WriteFile(in_l_file, l_bytes.data(), static_cast<DWORD>(l_bytes.size()), &l_written, nullptr);
  FlushFileBuffers(in_l_file);
}

void Fail(const std::wstring& in_l_reason) {
  std::fwprintf(stderr, L"ui_driver: %ls\n", in_l_reason.c_str());
  if (g_reasons != INVALID_HANDLE_VALUE) WriteLine(g_reasons, L"ui_driver: " + in_l_reason);
}

std::wstring Narrow(const std::wstring& in_l_text) {
  std::wstring l_out;
  for (const wchar_t l_unit : in_l_text) l_out += (l_unit < 0x80 ? std::wstring(1, l_unit) : L"?");
  return l_out;
}

struct Search {
  DWORD process_id = 0;
  const wchar_t* class_name = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND in_l_window, LPARAM in_l_search) {
  auto* l_search = reinterpret_cast<Search*>(in_l_search);
  DWORD l_pid = 0;
  GetWindowThreadProcessId(in_l_window, &l_pid);
  if (l_pid != l_search->process_id || !IsWindowVisible(in_l_window)) return TRUE;
  if (ClassOf(in_l_window) != l_search->class_name) return TRUE;
  l_search->found = in_l_window;
  return FALSE;
}

HWND TopLevel(const Run& in_l_run, const wchar_t* in_l_class) {
  Search l_search{in_l_run.process.dwProcessId, in_l_class, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&l_search));
  return l_search.found;
}

// The visible screen dialog inside the frame.
HWND CurrentScreen(const Run& in_l_run) {
  const HWND l_frame = TopLevel(in_l_run, kFrameClass);
  if (l_frame == nullptr) return nullptr;
  for (HWND l_child = GetWindow(l_frame, GW_CHILD); l_child != nullptr; l_child = GetWindow(l_child, GW_HWNDNEXT)) {
    if (IsWindowVisible(l_child) && ClassOf(l_child) == L"#32770") return l_child;
  }
  return nullptr;
}

std::wstring ScreenName(HWND in_l_screen) { return in_l_screen != nullptr ? WindowText(in_l_screen) : L"none"; }

bool Ended(const Run& in_l_run) { return WaitForSingleObject(in_l_run.process.hProcess, 0) == WAIT_OBJECT_0; }

template <typename Predicate>
bool WaitFor(const Run& in_l_run, Predicate in_l_ready) {
  for (DWORD l_waited = 0; l_waited < kWaitLimitMs; l_waited += kPollMs) {
    if (in_l_ready()) return true;
    if (Ended(in_l_run)) return in_l_ready();
    Sleep(kPollMs);
  }
  return false;
}

// The screen is the one seen with the name: asking its name again could find
// it destroyed already, when a click had it replaced by another of its kind.
HWND WaitForScreen(const Run& in_l_run, const std::wstring& in_l_name) {
  HWND l_found = nullptr;
  WaitFor(in_l_run, [&] {
    const HWND l_screen = CurrentScreen(in_l_run);
    if (l_screen != nullptr && ScreenName(l_screen) == in_l_name) l_found = l_screen;
    return l_found != nullptr;
  });
  return l_found;
}

HWND ScreenNow(const Run& in_l_run) {
  const HWND l_screen = CurrentScreen(in_l_run);
  if (l_screen == nullptr) Fail(L"no screen is shown");
  return l_screen;
}

void Press(HWND in_l_dialog, int in_l_id) {
  PostMessageW(in_l_dialog, WM_COMMAND, MAKEWPARAM(in_l_id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(in_l_dialog, in_l_id)));
}

bool Expect(const std::wstring& in_l_what, const std::wstring& in_l_seen, const std::wstring& in_l_expected) {
  if (in_l_seen == in_l_expected) return true;
  Fail(in_l_what + L" differs (" + std::to_wstring(in_l_seen.size()) + L" units: " + Narrow(in_l_seen) + L")");
  return false;
}

// A dialog of TAV's own beside the frame lies inside the work area, all of it shown.
bool CheckDialogInWorkArea(HWND in_l_dialog) {
  const std::wstring l_fault = WorkAreaFault(in_l_dialog, in_l_dialog);
  if (!l_fault.empty()) Fail(WindowText(in_l_dialog) + L": " + l_fault);
  return l_fault.empty();
}

bool AnswerEndAlert(const Run& in_l_run, const std::wstring& in_l_answer) {
  // The alert is a dialog owned by the frame, not a child of it.
  HWND l_alert = nullptr;
  WaitFor(in_l_run, [&] {
    l_alert = TopLevel(in_l_run, L"#32770");
    return l_alert != nullptr;
  });
  if (l_alert == nullptr) {
    Fail(L"no end confirmation appeared");
    return false;
  }
  if (!Expect(L"end confirmation caption", WindowText(l_alert), L"Tavori 終了確認") ||
      !Expect(L"end confirmation text", WindowText(GetDlgItem(l_alert, kEndAlertTextId)),
              L"アプリを終了します。よろしいですか？") ||
      !Expect(L"OK button", WindowText(GetDlgItem(l_alert, IDOK)), L"ＯＫ") ||
      !Expect(L"Cancel button", WindowText(GetDlgItem(l_alert, IDCANCEL)), L"キャンセル") ||
      !CheckDialogInWorkArea(l_alert)) {
    return false;
  }
  Press(l_alert, in_l_answer == L"ok" ? IDOK : IDCANCEL);
  if (!WaitFor(in_l_run, [&] { return IsWindow(l_alert) == FALSE; })) {
    Fail(L"the end confirmation stayed open");
    return false;
  }
  return true;
}

bool Snap(const std::wstring& in_l_name) {
  wchar_t l_dir[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"TAV_SNAP_DIR", l_dir, MAX_PATH) == 0) return true;
  const std::wstring l_base = std::wstring(l_dir) + L"\\" + in_l_name;
  const HANDLE l_ready =
      CreateFileW((l_base + L".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (l_ready == INVALID_HANDLE_VALUE) {
    Fail(L"cannot signal the screenshot " + in_l_name);
    return false;
  }
  CloseHandle(l_ready);
  for (DWORD l_waited = 0; l_waited < kWaitLimitMs; l_waited += kPollMs) {
    if (GetFileAttributesW((l_base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(kPollMs);
  }
  Fail(L"no screenshot was taken of " + in_l_name);
  return false;
}

// "<id>:<text>"
bool SplitControl(const std::wstring& in_l_value, int& out_l_id, std::wstring& out_l_text) {
  const std::size_t l_colon = in_l_value.find(L':');
  if (l_colon == std::wstring::npos) return false;
  out_l_id = _wtoi(in_l_value.substr(0, l_colon).c_str());
  out_l_text = in_l_value.substr(l_colon + 1);
  return true;
}

bool ReadWholeFile(const std::wstring& in_l_path, std::vector<char>& out_l_bytes) {
  FILE* l_file = _wfopen(in_l_path.c_str(), L"rb");
  if (l_file == nullptr) return false;
  char l_buffer[4096];
  std::size_t l_read;
  while ((l_read = std::fread(l_buffer, 1, sizeof(l_buffer), l_file)) > 0)
    out_l_bytes.insert(out_l_bytes.end(), l_buffer, l_buffer + l_read);
  std::fclose(l_file);
  return true;
}

// A dialog of TAV's own beside the frame (not a screen inside it).
HWND WaitForDialog(const Run& in_l_run, const std::wstring& in_l_caption) {
  HWND l_found = nullptr;
  WaitFor(in_l_run, [&] {
    const HWND l_dialog = TopLevel(in_l_run, L"#32770");
    if (l_dialog != nullptr && WindowText(l_dialog).find(in_l_caption) != std::wstring::npos) l_found = l_dialog;
    return l_found != nullptr;
  });
  return l_found;
}

bool WaitClosed(const Run& in_l_run, HWND in_l_dialog, const wchar_t* in_l_what) {
  if (WaitFor(in_l_run, [&] { return IsWindow(in_l_dialog) == FALSE; })) return true;
  Fail(std::wstring(in_l_what) + L" stayed open");
  return false;
}

// save=<path>: the save dialog takes the name and its OK; save=cancel cancels it.
bool SaveAs(const Run& in_l_run, const std::wstring& in_l_value) {
  HWND l_dialog = nullptr;
  HWND l_name = nullptr;
  WaitFor(in_l_run, [&] {
    l_dialog = TopLevel(in_l_run, L"#32770");
    // The explorer-style name box, or the older edit field.
    l_name = l_dialog != nullptr ? GetDlgItem(l_dialog, 1148) : nullptr;
    if (l_dialog != nullptr && l_name == nullptr) l_name = GetDlgItem(l_dialog, 1152);
    return l_name != nullptr;
  });
  if (l_name == nullptr) {
    Fail(L"no save dialog appeared");
    return false;
  }
  if (in_l_value == L"cancel") {
    PostMessageW(l_dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  } else {
    SendMessageW(l_name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(in_l_value.c_str()));
    PostMessageW(l_dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  return WaitClosed(in_l_run, l_dialog, L"the save dialog");
}

// version=<version>: the information button's dialog shows the product, the
// version and the maker; its OK closes it.
bool CloseVersionInformation(const Run& in_l_run, const std::wstring& in_l_version) {
  const HWND l_dialog = WaitForDialog(in_l_run, L"Tavori バージョン情報");
  if (l_dialog == nullptr) {
    Fail(L"no version information appeared");
    return false;
  }
  if (!Expect(L"product name", WindowText(GetDlgItem(l_dialog, 1045)), L"Tavori") ||
      !Expect(L"version", WindowText(GetDlgItem(l_dialog, 1033)), L"Ver" + in_l_version) ||
      !Expect(L"maker", WindowText(GetDlgItem(l_dialog, 1046)), L"ヴェルコ") ||
      !Expect(L"OK button", WindowText(GetDlgItem(l_dialog, IDOK)), L"ＯＫ") || !CheckDialogInWorkArea(l_dialog)) {
    return false;
  }
  if (!Snap(L"version_information")) return false;
  Press(l_dialog, IDOK);
  return WaitClosed(in_l_run, l_dialog, L"the version information");
}

// open=<which>: the modal dialog of that kind once it is open.
HWND OpenModal(const Run& in_l_run, const std::wstring& in_l_which) {
  const HWND l_dialog = TopLevel(in_l_run, L"#32770");
  if (l_dialog == nullptr) return nullptr;
  if (in_l_which == L"alert") return GetDlgItem(l_dialog, kEndAlertTextId) != nullptr ? l_dialog : nullptr;
  if (in_l_which == L"version") return WindowText(l_dialog) == L"Tavori バージョン情報" ? l_dialog : nullptr;
  // The explorer-style name box, or the older edit field.
  const bool l_save = GetDlgItem(l_dialog, 1148) != nullptr || GetDlgItem(l_dialog, 1152) != nullptr;
  return in_l_which == L"save" && l_save ? l_dialog : nullptr;
}

constexpr int kBannerId = 1003;
constexpr int kVersionButtonId = 57664;

// The screens' dialog font (16 points); its handle cannot be read from another process.
constexpr int kScreenFontPoints = 16;
constexpr const wchar_t* kScreenFontFace = L"Meiryo UI";
// A screen too large for its display is laid out in a smaller font, down to this.
constexpr int kSmallestScreenPoints = 8;
// Every screen's OK and Cancel are 12 dialog units high.
constexpr int kButtonDialogUnits = 12;

// The font size a screen is laid out in, told by its buttons' height: a
// dialog unit is an eighth of the font's height. The larger size when two
// would give the same height.
int ScreenPoints(HWND in_l_screen, const std::wstring& in_l_face) {
  HWND l_button = GetDlgItem(in_l_screen, IDOK);
  if (l_button == nullptr) l_button = GetDlgItem(in_l_screen, IDCANCEL);
  RECT l_rect{};
  if (l_button == nullptr || !GetWindowRect(l_button, &l_rect)) return kScreenFontPoints;
  const HDC l_context = GetDC(nullptr);
  int l_found = kScreenFontPoints;
  for (int l_points = kScreenFontPoints; l_points >= kSmallestScreenPoints; --l_points) {
    const HFONT l_font = CreateDialogFont(l_context, {in_l_face.c_str(), l_points});
    const HGDIOBJ l_previous = SelectObject(l_context, l_font);
    TEXTMETRICW l_metrics{};
    GetTextMetricsW(l_context, &l_metrics);
    SelectObject(l_context, l_previous);
    DeleteObject(l_font);
    if (MulDiv(kButtonDialogUnits, l_metrics.tmHeight, 8) == l_rect.bottom - l_rect.top) {
      l_found = l_points;
      break;
    }
  }
  ReleaseDC(nullptr, l_context);
  return l_found;
}

bool CheckTextsFit(HWND in_l_screen, const std::vector<DialogControl>& in_l_controls, const std::wstring& in_l_face,
                   int in_l_points) {
  const HDC l_context = GetDC(nullptr);
  const HFONT l_font = CreateDialogFont(l_context, {in_l_face.c_str(), in_l_points});
  // The only other font a screen gives a control is the bold one of its own face.
  const HFONT l_bold = CreateDialogFont(l_context, {in_l_face.c_str(), in_l_points, FW_BOLD});
  const LRESULT l_screen_font = SendMessageW(in_l_screen, WM_GETFONT, 0, 0);
  const HGDIOBJ l_previous = SelectObject(l_context, l_font);
  bool l_fit = true;
  for (const DialogControl& l_control : in_l_controls) {
    if (l_control.id == kBannerId) continue;
    const bool l_own_font = SendMessageW(l_control.window, WM_GETFONT, 0, 0) != l_screen_font;
    SelectObject(l_context, l_own_font ? l_bold : l_font);
    const std::wstring l_fault = TextFault(l_control.window, l_context);
    if (l_fault.empty()) continue;
    Fail(WindowText(in_l_screen) + L": " + l_fault);
    l_fit = false;
  }
  SelectObject(l_context, l_previous);
  ReleaseDC(nullptr, l_context);
  DeleteObject(l_bold);
  DeleteObject(l_font);
  return l_fit;
}

// A multi-line field the user cannot scroll down must show its last line, and
// from its first. The address field has a 12-point font of the screen's face
// (smaller as much as the screen's font is); the other fields the screen's
// font. (A font handle of another process reads as 0 here.)
constexpr int kUrlFieldId = 1007;
constexpr int kFieldFontTenths = 120;

bool CheckFieldsShowWhole(HWND in_l_screen, const std::vector<DialogControl>& in_l_controls,
                          const std::wstring& in_l_face, int in_l_points) {
  const HDC l_context = GetDC(nullptr);
  LOGFONTW l_field{};
  l_field.lfHeight =
      -MulDiv(kFieldFontTenths * in_l_points / kScreenFontPoints, GetDeviceCaps(l_context, LOGPIXELSY), 720);
  l_field.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(l_field.lfFaceName, in_l_face.c_str(), LF_FACESIZE);
  const HFONT l_field_font = CreateFontIndirectW(&l_field);
  const HFONT l_screen_font = CreateDialogFont(l_context, {in_l_face.c_str(), in_l_points});
  const HGDIOBJ l_previous = SelectObject(l_context, l_screen_font);
  bool l_whole = true;
  for (const DialogControl& l_control : in_l_controls) {
    const LONG l_style = GetWindowLongW(l_control.window, GWL_STYLE);
    if (ClassOf(l_control.window) != L"Edit" || (l_style & ES_MULTILINE) == 0 || (l_style & WS_VSCROLL) != 0 ||
        WindowText(l_control.window).empty()) {
      continue;
    }
    SelectObject(l_context, l_control.id == kUrlFieldId ? l_field_font : l_screen_font);
    TEXTMETRICW l_metrics{};
    GetTextMetricsW(l_context, &l_metrics);
    RECT l_format{};
    GetClientRect(l_control.window, &l_format);
    SendMessageW(l_control.window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&l_format));
    const auto l_lines = static_cast<int>(SendMessageW(l_control.window, EM_GETLINECOUNT, 0, 0));
    const LRESULT l_last_start = SendMessageW(l_control.window, EM_LINEINDEX, static_cast<WPARAM>(l_lines - 1), 0);
    const LRESULT l_position = SendMessageW(l_control.window, EM_POSFROMCHAR, static_cast<WPARAM>(l_last_start), 0);
    const int l_last_bottom = static_cast<short>(HIWORD(l_position)) + l_metrics.tmHeight;
    if (SendMessageW(l_control.window, EM_GETFIRSTVISIBLELINE, 0, 0) == 0 && l_last_bottom <= l_format.bottom) continue;
    Fail(L"field " + std::to_wstring(l_control.id) + L" of " + WindowText(in_l_screen) + L" hides lines: " +
         std::to_wstring(l_lines) + L" lines of " + std::to_wstring(l_metrics.tmHeight) + L" end at " +
         std::to_wstring(l_last_bottom) + L", it shows " + std::to_wstring(l_format.top) + L" to " +
         std::to_wstring(l_format.bottom));
    l_whole = false;
  }
  SelectObject(l_context, l_previous);
  ReleaseDC(nullptr, l_context);
  DeleteObject(l_screen_font);
  DeleteObject(l_field_font);
  return l_whole;
}

// Counts a control's red pixels (the error colour) and its dark ones (text in
// black), as the screen shows them.
bool CountTextPixels(HWND in_l_control, int& out_l_red, int& out_l_dark) {
  RECT l_rect{};
  if (!GetWindowRect(in_l_control, &l_rect)) return false;
  const int l_width = l_rect.right - l_rect.left;
  const int l_height = l_rect.bottom - l_rect.top;
  if (l_width <= 0 || l_height <= 0) return false;
  const HDC l_screen = GetDC(nullptr);
  const HDC l_copy = CreateCompatibleDC(l_screen);
  const HBITMAP l_bitmap = CreateCompatibleBitmap(l_screen, l_width, l_height);
  const HGDIOBJ l_previous = SelectObject(l_copy, l_bitmap);
  BitBlt(l_copy, 0, 0, l_width, l_height, l_screen, l_rect.left, l_rect.top, SRCCOPY);
  SelectObject(l_copy, l_previous);
  BITMAPINFO l_info{};
  l_info.bmiHeader = {sizeof(BITMAPINFOHEADER), l_width, -l_height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> l_pixels(static_cast<std::size_t>(l_width) * static_cast<std::size_t>(l_height));
  const int l_rows =
      GetDIBits(l_copy, l_bitmap, 0, static_cast<UINT>(l_height), l_pixels.data(), &l_info, DIB_RGB_COLORS);
  DeleteObject(l_bitmap);
  DeleteDC(l_copy);
  ReleaseDC(nullptr, l_screen);
  out_l_red = 0;
  out_l_dark = 0;
  for (const DWORD l_pixel : l_pixels) {
    const DWORD l_red = (l_pixel >> 16) & 0xFF;
    const DWORD l_green = (l_pixel >> 8) & 0xFF;
    const DWORD l_blue = l_pixel & 0xFF;
    if (l_red >= 200 && l_green <= 90 && l_blue <= 90) ++out_l_red;
    if (l_red <= 90 && l_green <= 90 && l_blue <= 90) ++out_l_dark;
  }
  return l_rows == l_height;
}

// The frame's size and place, a line per layout step, in %TAV_LAYOUT_LOG% when set.
void LogPlacement(HWND in_l_screen, HWND in_l_frame) {
  wchar_t l_path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"TAV_LAYOUT_LOG", l_path, MAX_PATH) == 0) return;
  const HANDLE l_log = CreateFileW(l_path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (l_log == INVALID_HANDLE_VALUE) return;
  WriteLine(l_log, WindowText(in_l_screen) + L" " + Placement(in_l_frame));
  CloseHandle(l_log);
}

// The whole frame lies in the work area and shows the whole screen; no two
// controls overlap; every text fits.
bool CheckLayout(HWND in_l_screen, const std::wstring& in_l_face) {
  const HWND l_frame = GetParent(in_l_screen);
  LogPlacement(in_l_screen, l_frame);
  const std::wstring l_outside = WorkAreaFault(l_frame, in_l_screen);
  if (!l_outside.empty()) {
    Fail(WindowText(in_l_screen) + L": " + l_outside);
    return false;
  }
  const std::vector<DialogControl> l_controls = VisibleControls(in_l_screen);
  const std::wstring l_overlap = OverlapFault(l_controls, {{kBannerId, kVersionButtonId}});
  if (!l_overlap.empty()) {
    Fail(WindowText(in_l_screen) + L": " + l_overlap);
    return false;
  }
  const int l_points = ScreenPoints(in_l_screen, in_l_face);
  const bool l_fit = CheckTextsFit(in_l_screen, l_controls, in_l_face, l_points);
  return CheckFieldsShowWhole(in_l_screen, l_controls, in_l_face, l_points) && l_fit;
}

bool Step(Run& in_l_run, const std::wstring& in_l_step) {
  const std::size_t l_equals = in_l_step.find(L'=');
  const std::wstring l_verb = in_l_step.substr(0, l_equals);
  const std::wstring l_value = l_equals == std::wstring::npos ? L"" : in_l_step.substr(l_equals + 1);
  int l_id = 0;
  std::wstring l_text;
  if (l_verb == L"screen") {
    if (WaitForScreen(in_l_run, l_value) != nullptr) return true;
    const HWND l_screen = CurrentScreen(in_l_run);
    Fail(L"screen " + l_value + L" did not appear (shown: " + ScreenName(l_screen) + L")");
    return false;
  }
  if (l_verb == L"gone") {
    if (WaitFor(in_l_run, [&] { return ScreenName(CurrentScreen(in_l_run)) != l_value; })) return true;
    Fail(L"screen " + l_value + L" stayed");
    return false;
  }
  if (l_verb == L"enabled" && SplitControl(l_value, l_id, l_text)) {
    const bool l_want = l_text == L"1";
    if (WaitFor(in_l_run, [&] {
          const HWND l_screen = CurrentScreen(in_l_run);
          return l_screen != nullptr && (IsWindowEnabled(GetDlgItem(l_screen, l_id)) != FALSE) == l_want;
        })) {
      return true;
    }
    Fail(L"control " + std::to_wstring(l_id) + (l_want ? L" is not enabled" : L" is not disabled"));
    return false;
  }
  if (l_verb == L"text" && SplitControl(l_value, l_id, l_text)) {
    // Waits, so that a screen replaced by one of the same kind is seen too.
    std::wstring l_seen;
    if (WaitFor(in_l_run, [&] {
          const HWND l_screen = CurrentScreen(in_l_run);
          l_seen = l_screen != nullptr ? WindowText(GetDlgItem(l_screen, l_id)) : L"";
          return l_seen.find(l_text) != std::wstring::npos;
        })) {
      return true;
    }
    Fail(L"control " + std::to_wstring(l_id) + L" does not contain " + l_text + L" (" + Narrow(l_seen) + L")");
    return false;
  }
  if (l_verb == L"type" && SplitControl(l_value, l_id, l_text)) {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    // Each key goes through the control's own typing rules (limit, filter).
    const HWND l_control = GetDlgItem(l_screen, l_id);
    for (const wchar_t l_unit : l_text) {
      DWORD_PTR l_ignored = 0;
      SendMessageTimeoutW(l_control, WM_CHAR, l_unit, 1, SMTO_ABORTIFHUNG, 5000, &l_ignored);
    }
    return true;
  }
  if (l_verb == L"tick") {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    const int l_box = _wtoi(l_value.c_str());
    const HWND l_control = GetDlgItem(l_screen, l_box);
    const LRESULT l_checked = SendMessageW(l_control, BM_GETCHECK, 0, 0);
    SendMessageW(l_control, BM_SETCHECK, l_checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    Press(l_screen, l_box);
    return true;
  }
  if (l_verb == L"link") {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    // A click on the first characters of the link text.
    const HWND l_control = GetDlgItem(l_screen, _wtoi(l_value.c_str()));
    const LPARAM l_point = MAKELPARAM(4, 4);
    PostMessageW(l_control, WM_LBUTTONDOWN, MK_LBUTTON, l_point);
    PostMessageW(l_control, WM_LBUTTONUP, 0, l_point);
    return true;
  }
  if (l_verb == L"set" && SplitControl(l_value, l_id, l_text)) {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    if (SendMessageW(GetDlgItem(l_screen, l_id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(l_text.c_str())) != FALSE) {
      return true;
    }
    Fail(L"control " + std::to_wstring(l_id) + L" takes no text");
    return false;
  }
  if (l_verb == L"click") {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen != nullptr) Press(l_screen, _wtoi(l_value.c_str()));
    return l_screen != nullptr;
  }
  if (l_verb == L"key" && (l_value == L"enter" || l_value == L"escape")) {
    const HWND l_screen = ScreenNow(in_l_run);
    const WPARAM l_key = l_value == L"enter" ? VK_RETURN : VK_ESCAPE;
    // Only the frame's message loop turns these into the dialog's buttons.
    if (l_screen != nullptr) PostMessageW(l_screen, WM_KEYDOWN, l_key, 1);
    return l_screen != nullptr;
  }
  if (l_verb == L"close") {
    const HWND l_frame = TopLevel(in_l_run, kFrameClass);
    if (l_frame != nullptr) PostMessageW(l_frame, WM_CLOSE, 0, 0);
    if (l_frame == nullptr) Fail(L"no frame window");
    return l_frame != nullptr;
  }
  if (l_verb == L"alert" && (l_value == L"ok" || l_value == L"cancel")) return AnswerEndAlert(in_l_run, l_value);
  if (l_verb == L"end") {
    if (!WaitFor(in_l_run, [&] { return CurrentScreen(in_l_run) != nullptr; })) return Ended(in_l_run);
    const HWND l_frame = TopLevel(in_l_run, kFrameClass);
    if (l_frame != nullptr) PostMessageW(l_frame, WM_CLOSE, 0, 0);
    HWND l_alert = nullptr;
    WaitFor(in_l_run, [&] { return (l_alert = TopLevel(in_l_run, L"#32770")) != nullptr; });
    return l_alert == nullptr || AnswerEndAlert(in_l_run, L"ok");
  }
  if (l_verb == L"snap") return Snap(l_value);
  if (l_verb == L"color" && SplitControl(l_value, l_id, l_text)) {
    const bool l_red = l_text == L"red";
    int l_red_pixels = 0;
    int l_dark_pixels = 0;
    if (WaitFor(in_l_run, [&] {
          const HWND l_screen = CurrentScreen(in_l_run);
          return l_screen != nullptr && CountTextPixels(GetDlgItem(l_screen, l_id), l_red_pixels, l_dark_pixels) &&
                 (l_red ? l_red_pixels > 0 && l_dark_pixels == 0 : l_dark_pixels > 0 && l_red_pixels == 0);
        })) {
      return true;
    }
    Fail(L"control " + std::to_wstring(l_id) + L" is not drawn in " + l_text + L" (" + std::to_wstring(l_red_pixels) +
         L" red, " + std::to_wstring(l_dark_pixels) + L" dark pixels)");
    return false;
  }
  if (l_verb == L"defid") {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    const int l_button = _wtoi(l_value.c_str());
    SendMessageW(l_screen, DM_SETDEFID, static_cast<WPARAM>(l_button), 0);
    const LRESULT l_default = SendMessageW(l_screen, DM_GETDEFID, 0, 0);
    if (HIWORD(l_default) == DC_HASDEFID && LOWORD(l_default) == l_button) return true;
    Fail(L"the screen's default button is " + std::to_wstring(LOWORD(l_default)) + L", not " + l_value);
    return false;
  }
  if (l_verb == L"layout") {
    const HWND l_screen = ScreenNow(in_l_run);
    return l_screen != nullptr && CheckLayout(l_screen, l_value.empty() ? kScreenFontFace : l_value);
  }
  if (l_verb == L"absent") {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen != nullptr && GetDlgItem(l_screen, _wtoi(l_value.c_str())) == nullptr) return true;
    Fail(L"control " + l_value + L" is on the screen");
    return false;
  }
  if (l_verb == L"bold") {
    // A control's font cannot be read from another process under Wine: the
    // text must have room in the screen's bold face, as a control sized for
    // the regular one has not.
    const HWND l_screen = ScreenNow(in_l_run);
    const HWND l_control = l_screen != nullptr ? GetDlgItem(l_screen, _wtoi(l_value.c_str())) : nullptr;
    const bool l_fits =
        l_control != nullptr && !WindowText(l_control).empty() &&
        TextFault(l_control, DialogFont{kScreenFontFace, ScreenPoints(l_screen, kScreenFontFace), FW_BOLD}).empty();
    if (l_fits) return true;
    Fail(L"control " + l_value + L" has no room for its text in bold");
    return false;
  }
  if (l_verb == L"mark") {
    std::wprintf(L"%ls %llu\n", l_value.c_str(), GetTickCount64() - in_l_run.started_at);
    std::fflush(stdout);
    in_l_run.marked = true;
    return true;
  }
  if (l_verb == L"write") {
    if (in_l_run.request_writer.joinable()) in_l_run.request_writer.join();
    std::vector<char> l_bytes;
    DWORD l_written = 0;
    if (in_l_run.input_writer != nullptr && ReadWholeFile(l_value, l_bytes) &&
        WriteFile(in_l_run.input_writer, l_bytes.data(), static_cast<DWORD>(l_bytes.size()), &l_written, nullptr) &&
        l_written == l_bytes.size()) {
      return true;
    }
    Fail(L"cannot write " + l_value + L" to TAV");
    return false;
  }
  if (l_verb == L"eof") {
    if (in_l_run.request_writer.joinable()) in_l_run.request_writer.join();
    if (in_l_run.input_writer != nullptr) CloseHandle(in_l_run.input_writer);
    in_l_run.input_writer = nullptr;
    return true;
  }
  if (l_verb == L"radio") {
    // What a click on an automatic radio button does: it alone of the
    // screen's radio buttons is checked, and the screen is told.
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    const HWND l_target = GetDlgItem(l_screen, _wtoi(l_value.c_str()));
    for (HWND l_child = GetWindow(l_screen, GW_CHILD); l_child != nullptr; l_child = GetWindow(l_child, GW_HWNDNEXT)) {
      if ((GetWindowLongW(l_child, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON) continue;
      SendMessageW(l_child, BM_SETCHECK, l_child == l_target ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    Press(l_screen, _wtoi(l_value.c_str()));
    return l_target != nullptr;
  }
  if (l_verb == L"listkey" && SplitControl(l_value, l_id, l_text)) {
    const HWND l_screen = ScreenNow(in_l_run);
    if (l_screen == nullptr) return false;
    const WPARAM l_key = l_text == L"home" ? VK_HOME : l_text == L"end" ? VK_END : l_text == L"up" ? VK_UP : VK_DOWN;
    const HWND l_list = GetDlgItem(l_screen, l_id);
    PostMessageW(l_list, WM_KEYDOWN, l_key, 1);
    PostMessageW(l_list, WM_KEYUP, l_key, 1);
    return true;
  }
  if (l_verb == L"row" && SplitControl(l_value, l_id, l_text)) {
    const LRESULT l_want = _wtoi(l_text.c_str());
    LRESULT l_seen = -1;
    if (WaitFor(in_l_run, [&] {
          const HWND l_screen = CurrentScreen(in_l_run);
          l_seen = l_screen == nullptr ? -1
                                       : SendMessageW(GetDlgItem(l_screen, l_id), LVM_GETNEXTITEM,
                                                      static_cast<WPARAM>(-1), LVNI_SELECTED);
          return l_seen == l_want;
        })) {
      return true;
    }
    Fail(L"row " + std::to_wstring(l_seen) + L" is selected, not " + l_text);
    return false;
  }
  if (l_verb == L"caption") {
    std::wstring l_seen;
    if (WaitFor(in_l_run, [&] {
          l_seen = WindowText(TopLevel(in_l_run, kFrameClass));
          return l_seen == l_value;
        })) {
      return true;
    }
    Fail(L"the frame's caption is " + Narrow(l_seen));
    return false;
  }
  if (l_verb == L"save") return SaveAs(in_l_run, l_value);
  if (l_verb == L"open") {
    if (WaitFor(in_l_run, [&] { return OpenModal(in_l_run, l_value) != nullptr; })) return true;
    Fail(L"no " + l_value + L" dialog is open");
    return false;
  }
  if (l_verb == L"version") return CloseVersionInformation(in_l_run, l_value);
  Fail(L"unknown step " + in_l_step);
  return false;
}


bool Start(const std::wstring& in_l_tav, const std::vector<char>& in_l_request, HANDLE in_l_answer, Run& out_l_run) {
  HANDLE& l_writer = out_l_run.input_writer;
  SECURITY_ATTRIBUTES l_inherit{sizeof(l_inherit), nullptr, TRUE};
  HANDLE l_reader = nullptr;
  if (!CreatePipe(&l_reader, &l_writer, &l_inherit, 65536)) return false;
  SetHandleInformation(l_writer, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW l_startup{};
  l_startup.cb = sizeof(l_startup);
  l_startup.dwFlags = STARTF_USESTDHANDLES;
  l_startup.hStdInput = l_reader;
  l_startup.hStdOutput = in_l_answer;
  l_startup.hStdError = nullptr;
  std::wstring l_command = L"\"" + in_l_tav + L"\"";
  const BOOL l_started = CreateProcessW(in_l_tav.c_str(), l_command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &l_startup, &out_l_run.process);
  const DWORD l_error = GetLastError();
  CloseHandle(l_reader);
  if (l_started == FALSE) {
    // The caller reports why.
    SetLastError(l_error);
    return false;
  }
  out_l_run.started_at = GetTickCount64();
  // TAV reads while this writes; a request larger than the pipe does not block.
  out_l_run.request_writer = std::thread([l_writer, &in_l_request] {
    std::size_t l_done = 0;
    while (l_done < in_l_request.size()) {
      DWORD l_written = 0;
      const DWORD l_chunk = static_cast<DWORD>(std::min<std::size_t>(in_l_request.size() - l_done, 65536));
      if (!WriteFile(l_writer, in_l_request.data() + l_done, l_chunk, &l_written, nullptr) || l_written == 0) return;
      l_done += l_written;
    }
  });
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The driver measures TAV's windows and texts in TAV's own pixels. TAV is
  // DPI-aware; an unaware driver would see Wine 10 scale its view of a 200%
  // screen back to 100% while the fonts it measures with stay full size.
  SetProcessDPIAware();
  if (argc < 4) {
    Fail(L"usage: ui_driver <TAV.exe> <request-file> <answer-file> <step>...");
    return 2;
  }
  std::vector<char> l_request;
  if (!ReadWholeFile(argv[2], l_request)) {
    Fail(L"cannot read the request");
    return 2;
  }
  g_reasons = CreateFileW((std::wstring(argv[3]) + L".log").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, 0, nullptr);
  SECURITY_ATTRIBUTES l_inherit{sizeof(l_inherit), nullptr, TRUE};
  const HANDLE l_answer = CreateFileW(argv[3], GENERIC_WRITE, FILE_SHARE_READ, &l_inherit, CREATE_ALWAYS, 0, nullptr);
  if (l_answer == INVALID_HANDLE_VALUE) {
    Fail(L"cannot create the answer file");
    return 2;
  }
  Run l_run;
  if (!Start(argv[1], l_request, l_answer, l_run)) {
    Fail(L"cannot start TAV (error " + std::to_wstring(GetLastError()) + L")");
    return 2;
  }
  CloseHandle(l_answer);
  bool l_ok = true;
  for (int l_index = 4; l_ok && l_index < argc; ++l_index) l_ok = Step(l_run, argv[l_index]);
  if (l_ok && WaitForSingleObject(l_run.process.hProcess, kWaitLimitMs) != WAIT_OBJECT_0) {
    Fail(L"TAV did not end");
    l_ok = false;
  }
  if (l_ok && l_run.marked) std::wprintf(L"end %llu\n", GetTickCount64() - l_run.started_at);
  if (!Ended(l_run)) TerminateProcess(l_run.process.hProcess, 99);
  WaitForSingleObject(l_run.process.hProcess, kWaitLimitMs);
  DWORD l_exit = 0;
  GetExitCodeProcess(l_run.process.hProcess, &l_exit);
  if (l_ok && l_exit != 0) {
    Fail(L"TAV ended with exit code " + std::to_wstring(l_exit));
    l_ok = false;
  }
  if (l_run.request_writer.joinable()) l_run.request_writer.join();
  if (l_run.input_writer != nullptr) CloseHandle(l_run.input_writer);
  CloseHandle(l_run.process.hThread);
  CloseHandle(l_run.process.hProcess);
  if (g_reasons != INVALID_HANDLE_VALUE) CloseHandle(g_reasons);
  return l_ok ? 0 : 1;
}
