#pragma once
// The modal dialogs open over the frame window: the end confirmation, the
// version information and the save dialog, with any box one of them opened.
#include <windows.h>

namespace tavc {

// Cancels every such dialog of this thread as its Cancel button does. Their
// modal loops end once the message being handled returns.
void CancelOwnedDialogs(HWND in_l_frame);

}  // namespace tavc
