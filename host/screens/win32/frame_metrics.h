#pragma once
// The metrics the frame is sized with, and the work area of the display the
// frame is on (where a window may lie without covering the task bars), as
// the system tells them now.
#include <windows.h>

#include "host/screens/window_placement.h"

namespace tavc {

FrameMetrics SystemFrameMetrics(HWND in_l_frame);

}  // namespace tavc
