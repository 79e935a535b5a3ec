#include "host/core/request_modes.h"

namespace tavc {

bool IsKnownMode(const std::wstring& in_l_mode) {
  for (const wchar_t* l_mode : {L"01", L"02", L"03", L"04", L"06", L"07", L"11", L"12", L"13"}) {
    if (in_l_mode == l_mode) return true;
  }
  return false;
}

bool IsSigningMode(const std::wstring& in_l_mode) {
  return in_l_mode == L"01" || in_l_mode == L"02" || in_l_mode == L"07" || in_l_mode == L"11" || in_l_mode == L"12";
}

bool IsCertificateChoiceMode(const std::wstring& in_l_mode) { return in_l_mode == L"02" || in_l_mode == L"07"; }

std::wstring DigestErrorCode(const std::wstring& in_l_mode) {
  if (in_l_mode == L"01") return L"EW142-1200";
  if (in_l_mode == L"11" || in_l_mode == L"12") return L"EWC42-1200";
  return L"EW242-1200";
}

}  // namespace tavc
