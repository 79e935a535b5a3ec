#include "dialog_layout.h"

std::wstring WindowText(HWND in_window) {
  // Room for the longest text a screen shows (a certificate item's detail).
  std::vector<wchar_t> l_buffer(16384, L'\0');
  // GetWindowText would not ask the other process.
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

namespace {

struct Collection {
  HWND dialog;
  std::vector<DialogControl> controls;
};

BOOL CALLBACK CollectControl(HWND in_control, LPARAM in_collection) {
  auto& l_collection = *reinterpret_cast<Collection*>(in_collection);
  RECT l_rect{};
  if (GetParent(in_control) == l_collection.dialog && IsWindowVisible(in_control) &&
      GetWindowRect(in_control, &l_rect)) {
    l_collection.controls.push_back({GetDlgCtrlID(in_control), l_rect, in_control});
  }
  return TRUE;
}

// The DrawText format the control draws its text with, and the room it leaves
// the text; false for a control that draws no text of its own.
bool TextFormat(HWND in_control, UINT& out_format, RECT& out_room) {
  const std::wstring l_class = ClassOf(in_control);
  const LONG l_style = GetWindowLongW(in_control, GWL_STYLE);
  GetClientRect(in_control, &out_room);
  out_format = DT_CALCRECT;
  if (l_class == L"Static") {
    const LONG l_kind = l_style & SS_TYPEMASK;
    if (l_kind != SS_LEFT && l_kind != SS_CENTER && l_kind != SS_RIGHT) return false;
    out_format |= DT_WORDBREAK | DT_EXPANDTABS | ((l_style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0);
    return true;
  }
  if (l_class != L"Button" || (l_style & (BS_BITMAP | BS_ICON)) != 0) return false;
  const LONG l_kind = l_style & BS_TYPEMASK;
  const bool l_box = l_kind == BS_CHECKBOX || l_kind == BS_AUTOCHECKBOX || l_kind == BS_RADIOBUTTON ||
                     l_kind == BS_AUTORADIOBUTTON || l_kind == BS_3STATE || l_kind == BS_AUTO3STATE;
  if (!l_box && l_kind != BS_PUSHBUTTON && l_kind != BS_DEFPUSHBUTTON) return false;
  out_format |= (l_style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
  // The box and the gap before the text; a push button's frame.
  out_room.right -= l_box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 2 * GetSystemMetrics(SM_CXEDGE);
  return true;
}

}  // namespace

std::vector<DialogControl> VisibleControls(HWND in_dialog) {
  Collection l_collection{in_dialog, {}};
  EnumChildWindows(in_dialog, CollectControl, reinterpret_cast<LPARAM>(&l_collection));
  return l_collection.controls;
}

std::wstring OverlapFault(const std::vector<DialogControl>& in_controls,
                          const std::vector<std::pair<int, int>>& in_allowed) {
  for (std::size_t l_first = 0; l_first < in_controls.size(); ++l_first) {
    for (std::size_t l_second = l_first + 1; l_second < in_controls.size(); ++l_second) {
      const int l_a = in_controls[l_first].id;
      const int l_b = in_controls[l_second].id;
      bool l_allowed = false;
      for (const auto& l_pair : in_allowed) {
        l_allowed = l_allowed || l_pair == std::make_pair(l_a, l_b) || l_pair == std::make_pair(l_b, l_a);
      }
      RECT l_common{};
      if (!l_allowed && IntersectRect(&l_common, &in_controls[l_first].rect, &in_controls[l_second].rect)) {
        return L"controls " + std::to_wstring(l_a) + L" and " + std::to_wstring(l_b) + L" overlap";
      }
    }
  }
  return L"";
}

HFONT CreateDialogFont(HDC in_context, DialogFont in_font) {
  LOGFONTW l_face{};
  l_face.lfHeight = -MulDiv(in_font.points, GetDeviceCaps(in_context, LOGPIXELSY), 72);
  l_face.lfWeight = in_font.weight;
  l_face.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(l_face.lfFaceName, in_font.face, LF_FACESIZE);
  return CreateFontIndirectW(&l_face);
}

std::wstring TextFault(HWND in_control, HDC in_context) {
  const std::wstring l_text = WindowText(in_control);
  UINT l_format = 0;
  RECT l_room{};
  if (l_text.empty() || !TextFormat(in_control, l_format, l_room)) return L"";
  RECT l_needed{0, 0, l_room.right, 0};
  DrawTextW(in_context, l_text.c_str(), static_cast<int>(l_text.size()), &l_needed, l_format);
  if (l_needed.right <= l_room.right && l_needed.bottom <= l_room.bottom) return L"";
  return L"control " + std::to_wstring(GetDlgCtrlID(in_control)) + L" cuts its text: needs " +
         std::to_wstring(l_needed.right) + L"x" + std::to_wstring(l_needed.bottom) + L", has " +
         std::to_wstring(l_room.right) + L"x" + std::to_wstring(l_room.bottom);
}

std::wstring TextFault(HWND in_control, DialogFont in_font) {
  const HDC l_context = GetDC(nullptr);
  const HFONT l_font = CreateDialogFont(l_context, in_font);
  const HGDIOBJ l_previous = SelectObject(l_context, l_font);
  std::wstring l_fault = TextFault(in_control, l_context);
  SelectObject(l_context, l_previous);
  ReleaseDC(nullptr, l_context);
  DeleteObject(l_font);
  return l_fault;
}

std::wstring LayoutFault(HWND in_dialog, DialogFont in_font) {
  const std::vector<DialogControl> l_controls = VisibleControls(in_dialog);
  std::wstring l_fault = OverlapFault(l_controls);
  for (std::size_t l_index = 0; l_fault.empty() && l_index < l_controls.size(); ++l_index) {
    l_fault = TextFault(l_controls[l_index].window, in_font);
  }
  return l_fault;
}

namespace {

RECT WorkArea(HWND in_window) {
  MONITORINFO l_monitor{};
  l_monitor.cbSize = sizeof(l_monitor);
  GetMonitorInfoW(MonitorFromWindow(in_window, MONITOR_DEFAULTTONEAREST), &l_monitor);
  return l_monitor.rcWork;
}

std::wstring Size(const RECT& in_rect) {
  return std::to_wstring(in_rect.right - in_rect.left) + L"x" + std::to_wstring(in_rect.bottom - in_rect.top) +
         L" at " + std::to_wstring(in_rect.left) + L"," + std::to_wstring(in_rect.top);
}

bool Inside(const RECT& in_inner, const RECT& in_outer) {
  return in_inner.left >= in_outer.left && in_inner.top >= in_outer.top && in_inner.right <= in_outer.right &&
         in_inner.bottom <= in_outer.bottom;
}

}  // namespace

std::wstring Placement(HWND in_window) {
  RECT l_window{};
  GetWindowRect(in_window, &l_window);
  return Size(l_window) + L" in the work area " + Size(WorkArea(in_window));
}

std::wstring WorkAreaFault(HWND in_window, HWND in_dialog) {
  RECT l_window{};
  GetWindowRect(in_window, &l_window);
  if (!Inside(l_window, WorkArea(in_window))) return L"the window leaves the work area: " + Placement(in_window);
  RECT l_client{};
  GetClientRect(in_window, &l_client);
  MapWindowPoints(in_window, nullptr, reinterpret_cast<POINT*>(&l_client), 2);
  for (const DialogControl& l_control : VisibleControls(in_dialog)) {
    if (!Inside(l_control.rect, l_client)) {
      return L"control " + std::to_wstring(l_control.id) + L" (" + Size(l_control.rect) +
             L") leaves the window's client area (" + Size(l_client) + L")";
    }
  }
  return L"";
}
