#pragma once
// The first check of every card operation, shared by both cards' operations:
// which of the session's handles or records is missing.
#include <cstdint>

#include "host/state/data_store.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

// 0 when all are there; else the location point of the first one missing:
// 1 context, 2 card, 3 data store, 4 result data (only when needed).
inline std::uint8_t MissingSessionPart(platform::ScardContext in_l_context, platform::ScardHandle in_l_card,
                                       const DataStore* in_l_data_store, const ResultData* in_l_result_data,
                                       bool in_l_need_result_data) {
  if (in_l_context == 0) return 1;
  if (in_l_card == 0) return 2;
  if (in_l_data_store == nullptr) return 3;
  if (in_l_need_result_data && in_l_result_data == nullptr) return 4;
  return 0;
}

}  // namespace tavc
