#pragma once
// A screen that opens its successor itself (the password selection and change
// screens), as the event controller shows one: created now, shown by the frame.
#include "host/flow/screen_factory.h"

namespace tavc {

void OpenNextScreen(ScreenFactory& io_l_factory, ScreenRequest in_l_request, ScreenKind in_l_kind);

}  // namespace tavc
