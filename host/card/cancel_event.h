#pragma once
#include "platform/named_event.h"

namespace tavc {

// The run's "Cancel_<process id>" event, which stops a signing loop before its
// next digest; not valid when nobody created it.
platform::NamedEvent OpenCancelEvent();

}  // namespace tavc
