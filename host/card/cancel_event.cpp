#include "host/card/cancel_event.h"

#include <string>

#include "platform/process_id.h"

namespace tavc {

platform::NamedEvent OpenCancelEvent() {
  return platform::NamedEvent::Open(L"Cancel_" + std::to_wstring(platform::CurrentProcessId()));
}

}  // namespace tavc
