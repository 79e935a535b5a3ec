// Changing one of the card's three passwords: select, verify the current one,
// set the new one, each step with its own codes.
#include "host/card/access_for_personal_info.h"
#include "host/card/card_result.h"
#include "host/card/password_copy.h"

namespace tavc {
namespace {

constexpr std::uint8_t kRoutineChangePassword = 0x06;
constexpr wchar_t kCode[] = L"EW044-3199";

// A vanished reader falls into the removed slot, wrong and locked answers to the
// select and the change into the status slot (RecordCardFailure's fallbacks).
constexpr CardCodeTable kLoginSelect{L"EW640-3110", L"EW644-3100", nullptr, nullptr, L"EW644-3101"};
constexpr CardCodeTable kLoginVerify{L"EW640-3111", L"EW644-3102", L"EW640-3140", L"EW644-3150", L"EW644-3103"};
constexpr CardCodeTable kLoginChange{L"EW640-3112", L"EW644-3104", nullptr, nullptr, L"EW644-3105"};

constexpr CardCodeTable kInfoSelect{L"EW640-3113", L"EW644-3106", nullptr, nullptr, L"EW644-3108"};
constexpr CardCodeTable kInfoVerify{L"EW640-3114", L"EW644-3109", L"EW640-3141", L"EW644-3151", L"EW644-310A"};
constexpr CardCodeTable kInfoChange{L"EW640-3115", L"EW644-310C", nullptr, nullptr, L"EW644-310D"};

constexpr CardCodeTable kSignSelect{L"EW640-3116", L"EW644-310E", nullptr, nullptr, L"EW644-310F"};
constexpr CardCodeTable kSignVerify{L"EW640-3118", L"EW644-310G", L"EW640-3142", L"EW644-3152", L"EW644-310H"};
constexpr CardCodeTable kSignChange{L"EW640-3119", L"EW644-310J", nullptr, nullptr, L"EW644-310K"};

}  // namespace

CardOutcome AccessForPersonalInfo::ChangePassword() {
  if (!CheckMembers(kCode, kRoutineChangePassword, false)) return kOutcomeFailed;
  const PasswordCopy l_current(m_data_store_->GetPassword());
  if (l_current.IsEmpty()) return Fail(kCode, kRoutineChangePassword, 4);
  const PasswordCopy l_new(m_data_store_->GetNewPassword());
  if (l_new.IsEmpty()) return Fail(kCode, kRoutineChangePassword, 5);
  switch (m_data_store_->GetPasswordType()) {
    case kPasswordTypeLogin:
      return ChangePasswordSteps(kApJpki, kPasswordTypeLogin, l_current.Get(), l_new.Get(),
                                 {kLoginSelect, kLoginVerify, kLoginChange});
    case kPasswordTypeInfo:
      return ChangePasswordSteps(kApCardSurface, kPasswordTypeInfo, l_current.Get(), l_new.Get(),
                                 {kInfoSelect, kInfoVerify, kInfoChange});
    case kPasswordTypeSign:
      return ChangePasswordSteps(kApJpki, kPasswordTypeSign, l_current.Get(), l_new.Get(),
                                 {kSignSelect, kSignVerify, kSignChange});
    default: return Fail(kCode, kRoutineChangePassword, 6);
  }
}

CardOutcome AccessForPersonalInfo::ChangePasswordSteps(int in_l_ap_number, int in_l_password_type,
                                                       const std::wstring& in_l_current, const std::wstring& in_l_new,
                                                       const ChangePasswordCodes& in_l_codes) {
  if (CheckError(m_library_.SelectAp(in_l_ap_number, &m_card_error_info_), in_l_codes.select) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  if (CheckError(m_library_.VerifyPassword(in_l_password_type, in_l_current, &m_card_error_info_),
                 in_l_codes.verify) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  return CheckError(m_library_.ChangePassword(in_l_password_type, in_l_new, &m_card_error_info_), in_l_codes.change);
}

}  // namespace tavc
