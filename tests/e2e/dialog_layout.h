#pragma once
// The layout check of a dialog seen from another process: no two visible
// controls overlap, and no text, check box or push button cuts its text in
// the dialog's font.
#include <windows.h>

#include <string>

struct DialogFont {
  const wchar_t* face;
  int points;
  int weight = FW_NORMAL;
};

// Empty when the layout holds; otherwise what is wrong.
std::wstring LayoutFault(HWND in_dialog, DialogFont in_font);

// Empty when the control's text fits it in the font; otherwise what is cut.
std::wstring TextFault(HWND in_control, DialogFont in_font);
