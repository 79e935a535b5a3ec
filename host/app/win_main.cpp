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
  {
    tavc::FrameWindow l_frame(in_l_instance);
    if (l_frame.Create(in_l_show)) l_frame.RunMessageLoop();
  }
  CoUninitialize();
  // The wrapper reads the answer, not the exit code: TAV ends with 0 on every path.
  return 0;
}
