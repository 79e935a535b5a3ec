#pragma once
// A screen that is a modeless child dialog of the frame window. The frame
// needs its window to size itself around it and to hand it the dialog keys.
#include <windows.h>

#include "host/flow/screen.h"

namespace tavc {

class DialogScreen : public Screen {
 public:
  // The dialog, or null before Create and after the window is gone.
  virtual HWND GetWindowHandle() const = 0;
};

}  // namespace tavc
