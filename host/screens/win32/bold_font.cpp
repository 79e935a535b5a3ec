#include "host/screens/win32/bold_font.h"

namespace tavc {

HFONT BoldCopyOf(HWND in_l_control) {
  const auto l_font = reinterpret_cast<HFONT>(SendMessageW(in_l_control, WM_GETFONT, 0, 0));
  LOGFONTW l_info{};
  if (l_font == nullptr || GetObjectW(l_font, sizeof l_info, &l_info) == 0) return nullptr;
  l_info.lfWeight = FW_BOLD;
  return CreateFontIndirectW(&l_info);
}

}  // namespace tavc
