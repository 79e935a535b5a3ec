#include "host/screens/win32/frame_metrics.h"

namespace tavc {

FrameMetrics SystemFrameMetrics(HWND in_l_frame) {
  MONITORINFO l_monitor{};
  l_monitor.cbSize = sizeof(l_monitor);
  RECT l_work{};
  // The frame's display; the primary one's work area when that cannot be read.
  if (GetMonitorInfoW(MonitorFromWindow(in_l_frame, MONITOR_DEFAULTTOPRIMARY), &l_monitor)) {
    l_work = l_monitor.rcWork;
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &l_work, 0);
  }
  return FrameMetrics{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYSIZE), GetSystemMetrics(SM_CYHSCROLL),
                      PixelRect{l_work.left, l_work.top, l_work.right, l_work.bottom}};
}

}  // namespace tavc
