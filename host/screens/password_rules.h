#pragma once
// The password entry screen's rules by request mode: what may be typed, how
// much, when OK is enabled, how the password is stored and which code an
// invalid one gets.
#include <cstdint>
#include <string>

#include "host/state/request_modes.h"

namespace tavc {

struct PasswordRule {
  std::uint32_t prompt_id;    // the prompt text
  int limit;                  // the field's character limit
  int minimum;                // OK is enabled from this many characters
  bool digits_only;           // else letters and digits
  bool upper_case;            // stored upper-cased (else as typed)
  const wchar_t* invalid_code;
};

PasswordRule PasswordRuleFor(RequestMode in_l_mode);
// Whether the mode admits the character at all.
bool PasswordCharacterAllowed(const PasswordRule& in_l_rule, wchar_t in_l_unit);
// The text with every character the rule does not admit taken out.
std::wstring FilterPassword(const PasswordRule& in_l_rule, const std::wstring& in_l_text);
// The link to the password change shows in the log-in and GPKI signing modes, when asked for.
bool PasswordChangeLinkShown(RequestMode in_l_mode, const std::wstring& in_l_pw_change);
// "en" only for an English log-in; every other screen stays Japanese.
const wchar_t* PasswordScreenLanguage(RequestMode in_l_mode, const std::wstring& in_l_language);

}  // namespace tavc
