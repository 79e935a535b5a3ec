#pragma once
// A screen's collapsed error line opening: the frame grows by the line's
// height, half of it upwards, the whole frame kept inside the display's work
// area, and the dialog with it.
#include <windows.h>

#include "host/state/data_store.h"

namespace tavc {

void GrowForErrorLine(HWND in_l_frame, HWND in_l_dialog, DataStore& io_l_store, int in_l_height);

}  // namespace tavc
