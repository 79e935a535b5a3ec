#pragma once
// A bold (weight 700) copy of a control's font; the caller owns it. Null when
// the control has no font that can be read.
#include <windows.h>

namespace tavc {

HFONT BoldCopyOf(HWND in_l_control);

}  // namespace tavc
