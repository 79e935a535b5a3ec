#include "host/screens/win32/error_line_growth.h"

#include <algorithm>

namespace tavc {

void GrowForErrorLine(HWND in_l_frame, HWND in_l_dialog, DataStore& io_l_store, int in_l_height) {
  RECT l_frame{};
  GetWindowRect(in_l_frame, &l_frame);
  const int l_left = std::max<int>(l_frame.left, 0);
  const int l_top = std::max<int>(l_frame.top - in_l_height / 2, 0);
  const int l_width = l_frame.right - l_frame.left;
  const int l_height = l_frame.bottom - l_frame.top + in_l_height;
  io_l_store.SetSize(l_width, l_height);
  SetWindowPos(in_l_frame, nullptr, l_left, l_top, l_width, l_height, SWP_NOZORDER);
  RECT l_dialog{};
  GetWindowRect(in_l_dialog, &l_dialog);
  SetWindowPos(in_l_dialog, nullptr, 0, 0, l_dialog.right - l_dialog.left,
               l_dialog.bottom - l_dialog.top + in_l_height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tavc
