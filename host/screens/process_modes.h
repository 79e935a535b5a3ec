#pragma once
// What the processing screen shows in each of its kinds (0 to 7): the main
// text, the warning not to remove the card during a password change, whether
// Cancel may be pressed, and whether signatures are counted.
#include <cstdint>

namespace tavc {

struct ProcessMode {
  std::uint32_t text_id;     // 0: no text
  std::uint32_t warning_id;  // 0: no warning line
  bool cancel_enabled;
  bool signing;
};

ProcessMode ProcessModeOf(int in_l_mode);

}  // namespace tavc
