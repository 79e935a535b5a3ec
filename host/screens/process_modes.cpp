#include "host/screens/process_modes.h"

namespace tavc {

ProcessMode ProcessModeOf(int in_l_mode) {
  switch (in_l_mode) {
    case 0: return {2011, 0, true, false};
    case 1: return {2012, 0, true, false};
    case 2: return {2013, 0, false, false};
    case 3: return {2030, 2055, false, false};
    case 4:
    case 6: return {2062, 0, true, true};
    case 5: return {2070, 0, true, false};
    case 7: return {2071, 2072, false, false};
    default: return {0, 0, true, false};
  }
}

}  // namespace tavc
