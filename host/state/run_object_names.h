#pragma once
// Names of the kernel objects of one run; each carries TAV's process id, so
// that two runs never share them.
#include <string>

#include "platform/process_id.h"

namespace tavc {

// Set by the end step to stop the interrupt watcher.
inline std::wstring InterruptEventName() { return L"Interrupt_" + std::to_wstring(platform::CurrentProcessId()); }
// Set to stop a running card operation before its next step.
inline std::wstring CancelEventName() { return L"Cancel_" + std::to_wstring(platform::CurrentProcessId()); }
// Held while the end confirmation is open.
inline std::wstring EndAlertMutexName() { return L"EndAlert_" + std::to_wstring(platform::CurrentProcessId()); }

}  // namespace tavc
