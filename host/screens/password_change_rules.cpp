#include "host/screens/password_change_rules.h"

#include <algorithm>

namespace tavc {
namespace {

constexpr int kSignatureRadio = 1047;
constexpr int kAuthenticationRadio = 1048;
constexpr int kSurfaceRadio = 1049;

bool IsDigit(wchar_t in_l_unit) { return in_l_unit >= L'0' && in_l_unit <= L'9'; }
bool IsUpper(wchar_t in_l_unit) { return in_l_unit >= L'A' && in_l_unit <= L'Z'; }
bool IsLower(wchar_t in_l_unit) { return in_l_unit >= L'a' && in_l_unit <= L'z'; }

// The GPKI password: letters of either case and digits (as the C locale's
// alphanumerics below '{').
bool IsGpkiText(const std::wstring& in_l_text) {
  return std::all_of(in_l_text.begin(), in_l_text.end(),
                     [](wchar_t in_l_unit) { return IsDigit(in_l_unit) || IsUpper(in_l_unit) || IsLower(in_l_unit); });
}

}  // namespace

PasswordChangeRule PasswordChangeRuleFor(RequestMode in_l_mode, int in_l_type) {
  if (in_l_mode == RequestMode::kGpkiPasswordChange) return PasswordChangeRule{2040, 16, 6, false, false, false};
  if (in_l_type == 3) return PasswordChangeRule{2037, 16, 6, false, true, true};
  if (in_l_type == 2) return PasswordChangeRule{2039, 4, 4, true, false, false};
  return PasswordChangeRule{2038, 4, 4, true, false, false};
}

int IsNumber(const std::wstring& in_l_text) {
  return std::all_of(in_l_text.begin(), in_l_text.end(), IsDigit) ? 0 : 1;
}

int IsAlphaNumber(const std::wstring& in_l_text) {
  bool l_letter = false;
  bool l_digit = false;
  for (const wchar_t l_unit : in_l_text) {
    if (!IsDigit(l_unit) && !IsUpper(l_unit)) return 1;
    l_letter = l_letter || IsUpper(l_unit);
    l_digit = l_digit || IsDigit(l_unit);
  }
  return l_letter && l_digit ? 0 : 2;
}

std::wstring CheckPasswordChange(RequestMode in_l_mode, int in_l_type, const std::wstring& in_l_current,
                                 const std::wstring& in_l_new, const std::wstring& in_l_confirmation) {
  if (in_l_mode == RequestMode::kGpkiPasswordChange) {
    if (!IsGpkiText(in_l_current)) return L"EW640-274D";
    if (!IsGpkiText(in_l_new)) return L"EW640-274E";
    return in_l_new == in_l_confirmation ? L"" : L"EW640-274F";
  }
  if (in_l_type == 3) {
    const int l_current = IsAlphaNumber(in_l_current);
    if (l_current == 1) return L"EW640-2746";
    if (l_current == 2) return L"EW640-2748";
    const int l_new = IsAlphaNumber(in_l_new);
    if (l_new == 1) return L"EW640-2749";
    if (l_new == 2) return L"EW640-274A";
    return in_l_new == in_l_confirmation ? L"" : L"EW640-274C";
  }
  const bool l_surface = in_l_type == 2;
  if (IsNumber(in_l_current) != 0) return l_surface ? L"EW640-2743" : L"EW640-2740";
  if (IsNumber(in_l_new) != 0) return l_surface ? L"EW640-2744" : L"EW640-2741";
  if (in_l_new != in_l_confirmation) return l_surface ? L"EW640-2745" : L"EW640-2742";
  return L"";
}

std::wstring TakePasswordChange(DataStore& io_l_store, const std::wstring& in_l_current, const std::wstring& in_l_new,
                                const std::wstring& in_l_confirmation) {
  std::wstring l_code = CheckPasswordChange(io_l_store.GetMode(), io_l_store.GetPasswordType(), in_l_current,
                                            in_l_new, in_l_confirmation);
  if (!l_code.empty()) return l_code;
  io_l_store.SetPassword(in_l_current);
  io_l_store.SetNewPassword(in_l_new);
  return l_code;
}

std::wstring FilterChangedPassword(const PasswordChangeRule& in_l_rule, const std::wstring& in_l_text) {
  std::wstring l_out;
  l_out.reserve(in_l_text.size());
  for (const wchar_t l_unit : in_l_text) {
    if (in_l_rule.digits_only && !IsDigit(l_unit)) continue;
    l_out.push_back(in_l_rule.upper_case && IsLower(l_unit) ? static_cast<wchar_t>(l_unit - L'a' + L'A') : l_unit);
  }
  return l_out;
}

int PasswordSelectRadioFor(int in_l_type) {
  switch (in_l_type) {
    case 3: return kSignatureRadio;
    case 0:
    case 1: return kAuthenticationRadio;
    case 2: return kSurfaceRadio;
    default: return 0;
  }
}

int PasswordTypeOfRadio(int in_l_radio) {
  switch (in_l_radio) {
    case kSignatureRadio: return 3;
    case kAuthenticationRadio: return 1;
    case kSurfaceRadio: return 2;
    default: return 0;
  }
}

std::uint32_t PasswordChangeSuccessTextId(RequestMode in_l_mode, int in_l_type) {
  if (in_l_mode == RequestMode::kGpkiPasswordChange) return 2078;
  if (in_l_type == 3) return 2049;
  if (in_l_type == 2) return 2051;
  return 2050;
}

}  // namespace tavc
