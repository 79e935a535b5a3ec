// Entry point of TAV.exe: the frame window reads the request, shows the
// screens of the run and ends once the answer is written.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "host/app/frame_window.h"

int WINAPI wWinMain(HINSTANCE in_l_instance, HINSTANCE /*in_l_previous*/, PWSTR /*in_l_command_line*/, int in_l_show) {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX l_controls{};
  l_controls.dwSize = sizeof(l_controls);
  l_controls.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&l_controls);
  // Without a window nothing could run: that is no success.
  int l_exit_code = 1;
  {
    tavc::FrameWindow l_frame(in_l_instance);
    if (l_frame.Create(in_l_show)) l_exit_code = l_frame.RunMessageLoop();
  }
  CoUninitialize();
  return l_exit_code;
}
