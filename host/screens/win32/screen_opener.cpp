#include "host/screens/win32/screen_opener.h"

#include "host/flow/frame_message_poster.h"
#include "host/state/message_poster.h"

namespace tavc {

void OpenNextScreen(ScreenFactory& io_l_factory, ScreenRequest in_l_request, ScreenKind in_l_kind) {
  in_l_request.kind = in_l_kind;
  std::unique_ptr<Screen> l_screen = io_l_factory.CreateScreen(in_l_request);
  if (!l_screen || !l_screen->Create()) return;
  Screen* l_posted = l_screen.release();
  if (!FrameMessagePoster(*in_l_request.data_store).Post(WM_TVNNOTIFY, 0, reinterpret_cast<std::intptr_t>(l_posted))) {
    std::unique_ptr<Screen> l_lost(l_posted);
    l_lost->DestroyWindow();
  }
}

}  // namespace tavc
