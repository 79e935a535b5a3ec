#include "host/card/access_for_personal_info.h"

#include <vector>

#include "common/hex_codec.h"
#include "host/card/cancel_event.h"
#include "host/card/card_result.h"
#include "host/card/digest_info.h"
#include "host/card/password_copy.h"

namespace tavc {
namespace {

constexpr CardSessionCodes kSessionCodes{0x4002, L"EW044-2099", L"EW044-3199"};
constexpr std::uint8_t kRoutinePassword = 0x02;
constexpr std::uint8_t kRoutineSignature = 0x13;
constexpr std::uint8_t kRoutineCertificate = 0x14;

// Session set-up: PC/SC, no reader and no card are the only outcomes.
constexpr CardCodeTable kEstablishLogin{nullptr, L"EW144-1501", nullptr, nullptr, nullptr, L"EW140-1510", L"EW140-1511"};
constexpr CardCodeTable kEstablishSign{nullptr, L"EW244-1501", nullptr, nullptr, nullptr, L"EW240-1510", L"EW240-1511"};
constexpr CardCodeTable kEstablishInfo{nullptr, L"EW340-2001", nullptr, nullptr, nullptr, L"EW340-2010", L"EW340-2011"};
constexpr CardCodeTable kEstablishChange{nullptr, L"EW640-2001", nullptr, nullptr, nullptr, L"EW640-2010",
                                         L"EW640-2011"};

constexpr CardCodeTable kVerifyLogin{L"EW140-1610", L"EW144-1600", L"EW140-1620", L"EW140-1600", L"EW144-1601"};
constexpr CardCodeTable kVerifySign{L"EW240-1610", L"EW244-1600", L"EW240-1620", L"EW240-1600", L"EW244-1601"};
constexpr CardCodeTable kVerifyInfo{L"EW340-2110", L"EW344-2100", L"EW340-2121", L"EW344-2101", L"EW344-2102"};

constexpr CardCodeTable kCertificateLogin{L"EW140-1A10", L"EW144-1A00", nullptr, nullptr, L"EW144-1A01"};
constexpr CardCodeTable kCertificateSign{L"EW240-1A10", L"EW244-1A00", nullptr, nullptr, L"EW244-1A01"};

constexpr CardCodeTable kSignatureLogin{L"EW140-1810", L"EW144-1800", nullptr, nullptr, L"EW144-1801"};
constexpr CardCodeTable kSignatureSign{L"EW240-1810", L"EW244-1800", nullptr, nullptr, L"EW244-1801"};

// What the ID card is used for; its error codes differ by use.
enum class CardUse { kLogin, kSign, kChange, kInfo };

CardUse CardUseOf(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kLogin: return CardUse::kLogin;
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm: return CardUse::kSign;
    case RequestMode::kPasswordChange: return CardUse::kChange;
    case RequestMode::kUnknown:
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
    case RequestMode::kCancel:
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm:
    case RequestMode::kGpkiPasswordChange: return CardUse::kInfo;
  }
  return CardUse::kInfo;
}

struct CardUseCodes {
  const wchar_t* no_context;  // no PC/SC context could be established
  const CardCodeTable& establish;
  const CardCodeTable& verify;
};

const CardUseCodes& CodesFor(CardUse in_l_use) {
  static const CardUseCodes kLogin{L"EW144-1500", kEstablishLogin, kVerifyLogin};
  static const CardUseCodes kSign{L"EW244-1500", kEstablishSign, kVerifySign};
  static const CardUseCodes kChange{L"EW640-2000", kEstablishChange, kVerifyInfo};
  static const CardUseCodes kInfo{L"EW340-2000", kEstablishInfo, kVerifyInfo};
  switch (in_l_use) {
    case CardUse::kLogin: return kLogin;
    case CardUse::kSign: return kSign;
    case CardUse::kChange: return kChange;
    case CardUse::kInfo: return kInfo;
  }
  return kInfo;
}

}  // namespace

AccessForPersonalInfo::AccessForPersonalInfo(platform::SCardApi& in_l_api)
    : CardSession(in_l_api, kSessionCodes), m_library_(Connection()) {}

RequestMode AccessForPersonalInfo::Mode() const {
  return m_data_store_ != nullptr ? m_data_store_->GetMode() : RequestMode::kUnknown;
}

CardOutcome AccessForPersonalInfo::EstablishCardSession(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                                        ResultData* in_l_result_data) {
  if (TakeRecords(in_l_error_info, in_l_data_store, in_l_result_data) != kOutcomeDone) return kOutcomeFailed;
  const CardUse l_use = CardUseOf(Mode());
  const bool l_check_version = l_use == CardUse::kLogin || l_use == CardUse::kSign;
  if (l_use == CardUse::kLogin) {
    m_data_store_->SetPasswordType(kPasswordTypeLogin);
  } else if (l_use == CardUse::kSign) {
    m_data_store_->SetPasswordType(kPasswordTypeSign);
  } else if (Mode() == RequestMode::kMyNumberInfo || Mode() == RequestMode::kPersonalInfo) {
    m_data_store_->SetPasswordType(kPasswordTypeInfo);
  }
  const int l_ret = m_library_.EstablishCard(m_data_store_->GetPasswordType(), l_check_version, &m_card_error_info_);
  return Opened(l_ret, L"EW340-2000", CodesFor(l_use).no_context, CodesFor(l_use).establish);
}

CardOutcome AccessForPersonalInfo::CheckCardPassword() {
  constexpr wchar_t kCode[] = L"EW044-2199";
  if (!CheckMembers(kCode, kRoutinePassword, false)) return kOutcomeFailed;
  const PasswordCopy l_password(m_data_store_->GetPassword());
  if (l_password.IsEmpty()) return Fail(kCode, kRoutinePassword, 4);
  const int l_ret = m_library_.VerifyPassword(m_data_store_->GetPasswordType(), l_password.Get(), &m_card_error_info_);
  if (l_ret == kCardInvalid) return Fail(kCode, kRoutinePassword, 5);
  return CheckError(l_ret, CodesFor(CardUseOf(Mode())).verify);
}

CardOutcome AccessForPersonalInfo::GetCertificate() {
  constexpr wchar_t kCode[] = L"EW044-1A99";
  if (!CheckMembers(kCode, kRoutineCertificate, true)) return kOutcomeFailed;
  std::wstring l_certificate;
  const int l_ret =
      m_library_.ReadCertificateInfo(m_data_store_->GetPasswordType(), &l_certificate, &m_card_error_info_);
  if (l_ret == kCardInvalid) return Fail(kCode, kRoutineCertificate, 5);
  if (CheckError(l_ret, Mode() == RequestMode::kLogin ? kCertificateLogin : kCertificateSign) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  m_result_data_->SetCertificate(std::move(l_certificate));
  return kOutcomeDone;
}

CardOutcome AccessForPersonalInfo::ComputeSignature() {
  constexpr wchar_t kCode[] = L"EW044-1899";
  if (!CheckMembers(kCode, kRoutineSignature, true)) return kOutcomeFailed;
  std::vector<DigestInfo> l_digest_infos;
  if (!TakeDigestInfos(kCode, kRoutineSignature, 8, &l_digest_infos)) return kOutcomeFailed;

  // A log-in answers one signature, so the card signs the first digest only.
  if (Mode() == RequestMode::kLogin) l_digest_infos.resize(1);
  platform::NamedEvent l_cancel_event = OpenCancelEvent();
  const int l_key_type = m_data_store_->GetPasswordType();
  for (const DigestInfo& l_digest_info : l_digest_infos) {
    if (l_cancel_event.IsSignalled()) {
      l_cancel_event.Close();
      ReleaseCardSession();
      return kOutcomeFailed;
    }
    std::array<std::uint8_t, kSignatureSize> l_signature{};
    const int l_ret = m_library_.CreateDigitalSignature(l_key_type, l_digest_info.data(), l_digest_info.size(),
                                                        &l_signature, &m_card_error_info_);
    if (l_ret != kCardOk) {
      l_cancel_event.Close();
      if (l_ret == kCardInvalid) return Fail(kCode, kRoutineSignature, 7);
      return CheckError(l_ret, Mode() == RequestMode::kLogin ? kSignatureLogin : kSignatureSign);
    }
    m_result_data_->SetSignature(BytesToHex(l_signature.data(), l_signature.size(), HexCase::kLower));
  }
  l_cancel_event.Close();
  return kOutcomeDone;
}

}  // namespace tavc
