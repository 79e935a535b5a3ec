#pragma once
// The seven codes of one card step, one per kind of library outcome.
#include "host/state/error_info.h"

namespace tavc {

struct CardCodeTable {
  const wchar_t* removed = nullptr;    // result 1, the card left the reader (IsCardRemoval)
  const wchar_t* pcsc = nullptr;       // result 1, any other PC/SC result
  const wchar_t* wrong = nullptr;      // result 2, 63 C1..63 CF
  const wchar_t* locked = nullptr;     // result 2, 63 C0 or 69 84
  const wchar_t* status = nullptr;     // result 2, any other status
  const wchar_t* no_reader = nullptr;  // result 1, no reader or no service (IsReaderMissing)
  const wchar_t* no_card = nullptr;    // result 4
};

// Records a failed library result (1, 2 or 4) in in_l_error_info with its slot's
// code: SetApiError for 1, SetStatusError for 2, SetError for 4. A step that
// leaves a slot empty reports such an outcome with its nearest code: wrong and
// locked fall back to status, a vanished reader to removed, removed and status
// to PC/SC, so that a failure never carries an empty code.
void RecordCardFailure(int in_l_result, const CardErrorInfo& in_l_card_error_info, const CardCodeTable& in_l_table,
                       ErrorInfo* in_l_error_info);

}  // namespace tavc
