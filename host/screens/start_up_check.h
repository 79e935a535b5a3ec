#pragma once
#include "host/card/error_info.h"
#include "host/core/data_store.h"

namespace tavc {

class StartUpCheck {
 public:
  // Validates the request values; 0 success, 1 error recorded, 4 own version
  // older than "available_version" (error recorded, flag set).
  static int CheckParams(DataStore& in_l_data_store, ErrorInfo& in_l_error_info);
};

}  // namespace tavc
