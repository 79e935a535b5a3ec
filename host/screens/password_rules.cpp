#include "host/screens/password_rules.h"

#include <algorithm>

namespace tavc {

PasswordRule PasswordRuleFor(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kLogin: return {2005, 4, 4, true, true, L"EW140-0820"};
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm: return {2006, 16, 6, false, true, L"EW240-0820"};
    // GPKI: letters and digits of the C locale, all below '{'; kept as typed.
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm: return {2068, 16, 6, false, false, L"EWC40-0820"};
    case RequestMode::kUnknown:
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
    case RequestMode::kCancel:
    case RequestMode::kPasswordChange:
    case RequestMode::kGpkiPasswordChange: break;
  }
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

bool PasswordChangeLinkShown(RequestMode in_l_mode, const std::wstring& in_l_pw_change) {
  const bool l_mode_has_link = in_l_mode == RequestMode::kLogin || in_l_mode == RequestMode::kGpkiSign ||
                               in_l_mode == RequestMode::kGpkiSignWithConfirm;
  return l_mode_has_link && in_l_pw_change == L"1";
}

const wchar_t* PasswordScreenLanguage(RequestMode in_l_mode, const std::wstring& in_l_language) {
  return in_l_mode == RequestMode::kLogin && in_l_language == L"en" ? L"en" : L"ja-JP";
}

}  // namespace tavc
