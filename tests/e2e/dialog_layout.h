#pragma once
// The layout check of a dialog seen from another process: no two visible
// controls overlap, and no text, check box, radio or push button cuts its text
// in the dialog's font.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// A window's text, read from its process (WM_GETTEXT crosses process boundaries).
std::wstring WindowText(HWND in_window);

std::wstring ClassOf(HWND in_window);

struct DialogFont {
  const wchar_t* face;
  int points;
  int weight = FW_NORMAL;
};

struct DialogControl {
  int id;
  RECT rect;
  HWND window;
};

// The dialog's own visible controls (a control's parts, as a list's header, lie inside it).
std::vector<DialogControl> VisibleControls(HWND in_dialog);

// Empty when no two of the controls overlap but the pairs of IDs allowed to
// (one sits on the other by design); otherwise which two do.
std::wstring OverlapFault(const std::vector<DialogControl>& in_controls,
                          const std::vector<std::pair<int, int>>& in_allowed = {});

// The font as the dialog manager makes it for this screen's resolution; the caller deletes it.
HFONT CreateDialogFont(HDC in_context, DialogFont in_font);

// Empty when the control's text fits it drawn in the font selected into the
// context, or when the control draws no text of its own (an edit, a picture);
// otherwise what is cut.
std::wstring TextFault(HWND in_control, HDC in_context);

// Empty when the control's text fits it in the font; otherwise what is cut.
std::wstring TextFault(HWND in_control, DialogFont in_font);

// Empty when the layout holds (no overlap, every text fits in the font); otherwise what is wrong.
std::wstring LayoutFault(HWND in_dialog, DialogFont in_font);

// Empty when the whole window, frame included, lies inside the work area of
// the display it is on, and every visible control of `in_dialog` (the window
// itself or a dialog inside it) inside the window's client area; otherwise
// what sticks out.
std::wstring WorkAreaFault(HWND in_window, HWND in_dialog);

// "<width>x<height> at <x>,<y> in the work area <width>x<height> at <x>,<y>":
// the window's size and place, frame included.
std::wstring Placement(HWND in_window);
