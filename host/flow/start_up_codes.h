#pragma once
// The per-mode start of the start-up checks' error codes ("EW1" for mode "01",
// "EW2" for "02" and "07", …), to which "44-0300", "44-0430" and the like are added.
#include <string>

#include "host/state/request_modes.h"

namespace tavc {

// Empty for a mode that has no such codes.
std::wstring StartUpCodeStart(RequestMode in_l_mode);

}  // namespace tavc
