#include "host/screens/error_screen_end.h"

namespace tavc {

std::uintptr_t ErrorScreenEndParam(const DataStore& in_l_data_store, const ErrorInfo& in_l_error_info) {
  const std::wstring& l_code = in_l_error_info.GetCode();
  const bool l_interrupt_code = l_code.size() >= 8 && l_code[6] == L'2' && l_code[7] == L'4';
  return in_l_data_store.GetInterruptState() != 0 && l_interrupt_code ? 2 : 0;
}

}  // namespace tavc
