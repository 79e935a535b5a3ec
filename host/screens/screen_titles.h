#pragma once
// The title each screen writes into the frame's caption, as a message ID.
#include <cstdint>
#include <string>

#include "host/flow/screen_factory.h"
#include "host/state/request_modes.h"

namespace tavc {

// The title string of the screen for the request's mode; the password screens
// name the operation the password is for.
std::uint32_t ScreenTitleId(ScreenKind in_l_kind, RequestMode in_l_mode);

}  // namespace tavc
