#include "host/screens/password_rules.h"

#include <algorithm>

namespace tavc {

PasswordRule PasswordRuleFor(const std::wstring& in_l_mode) {
  if (in_l_mode == L"01") return {2005, 4, 4, true, true, L"EW140-0820"};
  if (in_l_mode == L"02" || in_l_mode == L"07") return {2006, 16, 6, false, true, L"EW240-0820"};
  // GPKI: letters and digits of the C locale, all below '{'; kept as typed.
  if (in_l_mode == L"11" || in_l_mode == L"12") return {2068, 16, 6, false, false, L"EWC40-0820"};
  return {2007, 4, 4, true, true, L"EW340-0820"};
}

bool PasswordCharacterAllowed(const PasswordRule& in_l_rule, wchar_t in_l_unit) {
  const bool l_digit = in_l_unit >= L'0' && in_l_unit <= L'9';
  if (in_l_rule.digits_only) return l_digit;
  return l_digit || (in_l_unit >= L'A' && in_l_unit <= L'Z') || (in_l_unit >= L'a' && in_l_unit <= L'z');
}

std::wstring FilterPassword(const PasswordRule& in_l_rule, const std::wstring& in_l_text) {
  std::wstring l_kept;
  std::copy_if(in_l_text.begin(), in_l_text.end(), std::back_inserter(l_kept),
               [&](wchar_t in_l_unit) { return PasswordCharacterAllowed(in_l_rule, in_l_unit); });
  return l_kept;
}

bool PasswordChangeLinkShown(const std::wstring& in_l_mode, const std::wstring& in_l_pw_change) {
  return (in_l_mode == L"01" || in_l_mode == L"11" || in_l_mode == L"12") && in_l_pw_change == L"1";
}

const wchar_t* PasswordScreenLanguage(const std::wstring& in_l_mode, const std::wstring& in_l_language) {
  return in_l_mode == L"01" && in_l_language == L"en" ? L"en" : L"ja-JP";
}

}  // namespace tavc
