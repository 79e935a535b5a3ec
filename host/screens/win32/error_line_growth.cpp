#include "host/screens/win32/error_line_growth.h"

#include "host/screens/win32/frame_metrics.h"
#include "host/screens/window_placement.h"

namespace tavc {

void GrowForErrorLine(HWND in_l_frame, HWND in_l_dialog, DataStore& io_l_store, int in_l_height) {
  RECT l_frame{};
  GetWindowRect(in_l_frame, &l_frame);
  const ScreenSize l_size{l_frame.right - l_frame.left, l_frame.bottom - l_frame.top + in_l_height};
  const PixelPoint l_at = KeptInWorkArea(PixelPoint{l_frame.left, l_frame.top - in_l_height / 2}, l_size,
                                         SystemFrameMetrics(in_l_frame).work_area);
  io_l_store.SetSize(l_size.cx, l_size.cy);
  SetWindowPos(in_l_frame, nullptr, l_at.x, l_at.y, l_size.cx, l_size.cy, SWP_NOZORDER);
  RECT l_dialog{};
  GetWindowRect(in_l_dialog, &l_dialog);
  SetWindowPos(in_l_dialog, nullptr, 0, 0, l_dialog.right - l_dialog.left,
               l_dialog.bottom - l_dialog.top + in_l_height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tavc
