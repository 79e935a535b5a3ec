#include "platform/process_id.h"

#include <windows.h>

namespace tavc::platform {

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(GetCurrentProcessId()); }

}  // namespace tavc::platform
