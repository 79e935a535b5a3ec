#pragma once
// What the password screens do with their edit fields' text.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace tavc {

// The field's text; the buffer is wiped, the caller wipes the result.
std::wstring PasswordFieldText(HWND in_l_field);

// Keeps in the field only what in_l_filter keeps of its text, cut at
// in_l_limit (text set from outside, a paste through WM_SETTEXT, is not held
// to the field's limit by the control), and moves the selection back by what
// was removed. Every copy of the text is wiped.
void KeepPasswordFieldText(HWND in_l_field, std::size_t in_l_limit,
                           const std::function<std::wstring(const std::wstring&)>& in_l_filter);

}  // namespace tavc
