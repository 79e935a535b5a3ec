#pragma once
#include <cstdint>

namespace tavc::platform {

// The id of the running process, as named kernel objects of the run carry it.
std::uint32_t CurrentProcessId();

}  // namespace tavc::platform
