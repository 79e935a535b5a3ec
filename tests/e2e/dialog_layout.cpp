#include "dialog_layout.h"

#include <vector>

namespace {

std::wstring TextOf(HWND in_window) {
  std::vector<wchar_t> l_buffer(4096, L'\0');
  // WM_GETTEXT crosses process boundaries; GetWindowText would not ask the other process.
  SendMessageTimeoutW(in_window, WM_GETTEXT, l_buffer.size(), reinterpret_cast<LPARAM>(l_buffer.data()),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  l_buffer.back() = L'\0';
  return l_buffer.data();
}

std::wstring ClassOf(HWND in_window) {
  wchar_t l_buffer[256] = {};
  GetClassNameW(in_window, l_buffer, 256);
  return l_buffer;
}

struct Control {
  int id;
  RECT rect;
  HWND window;
};

BOOL CALLBACK CollectControl(HWND in_control, LPARAM in_list) {
  RECT l_rect{};
  if (IsWindowVisible(in_control) && GetWindowRect(in_control, &l_rect)) {
    reinterpret_cast<std::vector<Control>*>(in_list)->push_back({GetDlgCtrlID(in_control), l_rect, in_control});
  }
  return TRUE;
}

// The font as the dialog manager makes it for this screen's resolution.
HFONT MakeFont(HDC in_context, DialogFont in_font) {
  LOGFONTW l_face{};
  l_face.lfHeight = -MulDiv(in_font.points, GetDeviceCaps(in_context, LOGPIXELSY), 72);
  l_face.lfWeight = in_font.weight;
  l_face.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(l_face.lfFaceName, in_font.face, LF_FACESIZE);
  return CreateFontIndirectW(&l_face);
}

// The room the text needs drawn as the control draws it, against the room it
// has; false for a control that draws no text of its own (an edit, a picture).
bool TextFits(HWND in_control, HDC in_context, std::wstring& out_fault) {
  const std::wstring l_class = ClassOf(in_control);
  const std::wstring l_text = TextOf(in_control);
  const LONG l_style = GetWindowLongW(in_control, GWL_STYLE);
  if (l_text.empty()) return true;
  RECT l_client{};
  GetClientRect(in_control, &l_client);
  UINT l_format = DT_CALCRECT;
  if (l_class == L"Static") {
    const LONG l_kind = l_style & SS_TYPEMASK;
    if (l_kind != SS_LEFT && l_kind != SS_CENTER && l_kind != SS_RIGHT) return true;
    l_format |= DT_WORDBREAK | DT_EXPANDTABS | ((l_style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0);
  } else if (l_class == L"Button") {
    const LONG l_kind = l_style & BS_TYPEMASK;
    const bool l_box = l_kind == BS_CHECKBOX || l_kind == BS_AUTOCHECKBOX;
    if (!l_box && l_kind != BS_PUSHBUTTON && l_kind != BS_DEFPUSHBUTTON) return true;
    l_format |= DT_SINGLELINE;
    // The box and the gap before the text; a push button's frame.
    l_client.right -= l_box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 2 * GetSystemMetrics(SM_CXEDGE);
  } else {
    return true;
  }
  RECT l_needed{0, 0, l_client.right, 0};
  DrawTextW(in_context, l_text.c_str(), static_cast<int>(l_text.size()), &l_needed, l_format);
  if (l_needed.right <= l_client.right && l_needed.bottom <= l_client.bottom) return true;
  out_fault = L"control " + std::to_wstring(GetDlgCtrlID(in_control)) + L" cuts its text: needs " +
              std::to_wstring(l_needed.right) + L"x" + std::to_wstring(l_needed.bottom) + L", has " +
              std::to_wstring(l_client.right) + L"x" + std::to_wstring(l_client.bottom);
  return false;
}

}  // namespace

std::wstring LayoutFault(HWND in_dialog, DialogFont in_font) {
  std::vector<Control> l_controls;
  EnumChildWindows(in_dialog, CollectControl, reinterpret_cast<LPARAM>(&l_controls));
  for (std::size_t l_first = 0; l_first < l_controls.size(); ++l_first) {
    for (std::size_t l_second = l_first + 1; l_second < l_controls.size(); ++l_second) {
      RECT l_common{};
      if (IntersectRect(&l_common, &l_controls[l_first].rect, &l_controls[l_second].rect)) {
        return L"controls " + std::to_wstring(l_controls[l_first].id) + L" and " +
               std::to_wstring(l_controls[l_second].id) + L" overlap";
      }
    }
  }
  const HDC l_context = GetDC(nullptr);
  const HFONT l_font = MakeFont(l_context, in_font);
  const HGDIOBJ l_previous = SelectObject(l_context, l_font);
  std::wstring l_fault;
  for (const Control& l_control : l_controls) {
    if (!TextFits(l_control.window, l_context, l_fault)) break;
  }
  SelectObject(l_context, l_previous);
  ReleaseDC(nullptr, l_context);
  DeleteObject(l_font);
  return l_fault;
}

std::wstring TextFault(HWND in_control, DialogFont in_font) {
  const HDC l_context = GetDC(nullptr);
  const HFONT l_font = MakeFont(l_context, in_font);
  const HGDIOBJ l_previous = SelectObject(l_context, l_font);
  std::wstring l_fault;
  TextFits(in_control, l_context, l_fault);
  SelectObject(l_context, l_previous);
  ReleaseDC(nullptr, l_context);
  DeleteObject(l_font);
  return l_fault;
}
