#pragma once
// The password change screens' rules by mode and password type: prompts, field
// limits, what may be typed, when OK is enabled, the checks on OK with their
// codes, and the result texts. Password types: 1 user authentication, 2 card
// surface input support (both 4 digits), 3 signature (6 to 16 upper-case
// letters and digits); mode "13" changes the GPKI card's one user password.
#include <cstdint>
#include <string>

#include "host/state/data_store.h"
#include "host/state/request_modes.h"

namespace tavc {

struct PasswordChangeRule {
  std::uint32_t prompt_id;
  int limit;          // characters per field
  int minimum;        // OK is enabled once each field holds this many
  bool digits_only;   // typing keeps digits only
  bool upper_case;    // typing turns letters upper case
  bool shown_at_start;  // the fields start in plain text
};

PasswordChangeRule PasswordChangeRuleFor(RequestMode in_l_mode, int in_l_type);

// 0 when every character is a digit, else 1.
int IsNumber(const std::wstring& in_l_text);
// 1 when a character is neither 0-9 nor A-Z; else 2 when a letter or a digit
// is missing (an empty text too); else 0.
int IsAlphaNumber(const std::wstring& in_l_text);

// The code of the first check on OK that fails, or an empty text when the
// three texts may go to the card.
std::wstring CheckPasswordChange(RequestMode in_l_mode, int in_l_type, const std::wstring& in_l_current,
                                 const std::wstring& in_l_new, const std::wstring& in_l_confirmation);

// OK on the password change: checks the three texts by the store's mode and
// password type; when they pass, the store takes the current and the new
// password. Gives CheckPasswordChange's code; the store is untouched on a code.
std::wstring TakePasswordChange(DataStore& io_l_store, const std::wstring& in_l_current, const std::wstring& in_l_new,
                                const std::wstring& in_l_confirmation);

// The typed text after the type's typing rule (digits kept, or upper case).
std::wstring FilterChangedPassword(const PasswordChangeRule& in_l_rule, const std::wstring& in_l_text);

// The selection's radio button for a password type (0 when none is checked),
// and the type a radio button chooses.
int PasswordSelectRadioFor(int in_l_type);
int PasswordTypeOfRadio(int in_l_radio);

// The result screen's success text.
std::uint32_t PasswordChangeSuccessTextId(RequestMode in_l_mode, int in_l_type);

}  // namespace tavc
