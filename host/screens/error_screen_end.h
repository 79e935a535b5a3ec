#pragma once
// How the error screen ends the request: the wParam of its WM_APP04.
#include <cstdint>

#include "host/state/data_store.h"
#include "host/state/error_info.h"

namespace tavc {

// 2 when the screen shows an interrupt (a code of the 24 group after the
// interrupt state was set), else 0.
std::uintptr_t ErrorScreenEndParam(const DataStore& in_l_data_store, const ErrorInfo& in_l_error_info);

}  // namespace tavc
