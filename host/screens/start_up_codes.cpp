#include "host/screens/start_up_codes.h"

namespace tavc {

std::wstring StartUpCodeStart(const std::wstring& in_l_mode) {
  if (in_l_mode == L"01") return L"EW1";
  if (in_l_mode == L"02" || in_l_mode == L"07") return L"EW2";
  if (in_l_mode == L"03" || in_l_mode == L"04") return L"EW3";
  if (in_l_mode == L"06") return L"EW6";
  if (in_l_mode == L"11" || in_l_mode == L"12") return L"EWC";
  if (in_l_mode == L"13") return L"EWD";
  return L"";
}

}  // namespace tavc
