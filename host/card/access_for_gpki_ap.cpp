#include "host/card/access_for_gpki_ap.h"

#include <vector>

#include "common/hex_codec.h"
#include "host/card/cancel_event.h"
#include "host/card/card_result.h"
#include "host/card/digest_info.h"
#include "host/card/password_copy.h"

namespace tavc {
namespace {

constexpr CardSessionCodes kSessionCodes{0x4003, L"EW044-3999", L"EW044-4699"};
constexpr std::uint8_t kRoutinePassword = 0x02;
constexpr std::uint8_t kRoutineChangePassword = 0x06;
constexpr std::uint8_t kRoutineSignature = 0x13;
constexpr std::uint8_t kRoutineCertificate = 0x14;

constexpr CardCodeTable kEstablishSign{nullptr, L"EWC44-3901", nullptr, nullptr, nullptr, L"EWC40-3910", L"EWC40-3911"};
constexpr CardCodeTable kEstablishChange{nullptr,    L"EWD44-3901", nullptr,      nullptr,
                                         nullptr,    L"EWD40-3910", L"EWD40-3911"};
constexpr CardCodeTable kVerify{L"EWC40-4010", L"EWC44-4000", L"EWC40-4020", L"EWC40-4000", L"EWC44-4001"};
constexpr CardCodeTable kCertificate{L"EWC40-4110", L"EWC44-4100", nullptr, nullptr, L"EWC44-4101"};
constexpr CardCodeTable kSelectSigningFile{L"EWC44-4502", L"EWC40-4511", nullptr, nullptr, L"EWC44-4503"};
constexpr CardCodeTable kSignature{L"EWC40-4510", L"EWC44-4500", nullptr, nullptr, L"EWC44-4501"};
// A vanished reader falls into the removed slot (RecordCardFailure's fallback).
constexpr CardCodeTable kChangeSelect{L"EWD40-4610", L"EWD44-4600", nullptr, nullptr, L"EWD44-4601"};
constexpr CardCodeTable kChangeVerify{L"EWD40-4611", L"EWD44-4602", L"EWD40-4640", L"EWD44-4650", L"EWD44-4603"};
constexpr CardCodeTable kChangeChange{L"EWD40-4612", L"EWD44-4604", nullptr, nullptr, L"EWD44-4605"};

}  // namespace

AccessForGpkiAp::AccessForGpkiAp(platform::SCardApi& in_l_api)
    : CardSession(in_l_api, kSessionCodes), m_library_(Connection()) {}

bool AccessForGpkiAp::IsPasswordChange() const {
  return m_data_store_ != nullptr && m_data_store_->GetMode() == RequestMode::kGpkiPasswordChange;
}

CardOutcome AccessForGpkiAp::EstablishCardSession(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                                  ResultData* in_l_result_data) {
  if (TakeRecords(in_l_error_info, in_l_data_store, in_l_result_data) != kOutcomeDone) return kOutcomeFailed;
  const int l_ret = m_library_.EstablishCard(&m_card_error_info_);
  const bool l_change = IsPasswordChange();
  return Opened(l_ret, L"EWC44-3900", l_change ? L"EWD44-3900" : L"EWC44-3900",
                l_change ? kEstablishChange : kEstablishSign);
}

CardOutcome AccessForGpkiAp::CheckCardPassword() {
  constexpr wchar_t kCode[] = L"EW044-4099";
  if (!CheckMembers(kCode, kRoutinePassword, false)) return kOutcomeFailed;
  const PasswordCopy l_password(m_data_store_->GetPassword());
  if (l_password.IsEmpty()) return Fail(kCode, kRoutinePassword, 4);
  const int l_ret = m_library_.VerifyPassword(l_password.Get(), &m_card_error_info_);
  if (l_ret == kCardInvalid) return Fail(kCode, kRoutinePassword, 5);
  return CheckError(l_ret, kVerify);
}

CardOutcome AccessForGpkiAp::GetCertificate() {
  constexpr wchar_t kCode[] = L"EW044-4199";
  if (m_result_data_ != nullptr) m_result_data_->SetCertificate(L"");
  if (!CheckMembers(kCode, kRoutineCertificate, true)) return kOutcomeFailed;
  std::wstring l_certificate;
  const int l_ret =
      m_library_.ReadCertificateInfo(m_data_store_->GetGpkiCertificateType(), &l_certificate, &m_card_error_info_);
  if (l_ret == kCardInvalid) return Fail(kCode, kRoutineCertificate, 5);
  if (CheckError(l_ret, kCertificate) != kOutcomeDone) return kOutcomeFailed;
  m_result_data_->SetCertificate(std::move(l_certificate));
  return kOutcomeDone;
}

CardOutcome AccessForGpkiAp::ComputeSignature() {
  constexpr wchar_t kCode[] = L"EW044-4599";
  if (!CheckMembers(kCode, kRoutineSignature, true)) return kOutcomeFailed;
  std::vector<DigestInfo> l_digest_infos;
  if (!TakeDigestInfos(kCode, kRoutineSignature, 9, &l_digest_infos)) return kOutcomeFailed;

  platform::NamedEvent l_cancel_event = OpenCancelEvent();
  int l_ret = m_library_.SelectEf0011(&m_card_error_info_);
  if (l_ret != kCardOk) {
    l_cancel_event.Close();
    if (l_ret == kCardInvalid) return Fail(kCode, kRoutineSignature, 7);
    return CheckError(l_ret, kSelectSigningFile);
  }
  for (const DigestInfo& l_digest_info : l_digest_infos) {
    if (l_cancel_event.IsSignalled()) {
      l_cancel_event.Close();
      ReleaseCardSession();
      return kOutcomeFailed;
    }
    std::array<std::uint8_t, kSignatureSize> l_signature{};
    l_ret = m_library_.CreateDigitalSignature(l_digest_info.data(), l_digest_info.size(), &l_signature,
                                              &m_card_error_info_);
    if (l_ret != kCardOk) {
      l_cancel_event.Close();
      if (l_ret == kCardInvalid) return Fail(kCode, kRoutineSignature, 8);
      return CheckError(l_ret, kSignature);
    }
    m_result_data_->SetSignature(BytesToHex(l_signature.data(), l_signature.size(), HexCase::kLower));
  }
  l_cancel_event.Close();
  return kOutcomeDone;
}

CardOutcome AccessForGpkiAp::ChangePassword() {
  constexpr wchar_t kCode[] = L"EW044-4699";
  if (!CheckMembers(kCode, kRoutineChangePassword, false)) return kOutcomeFailed;
  const PasswordCopy l_current(m_data_store_->GetPassword());
  if (l_current.IsEmpty()) return Fail(kCode, kRoutineChangePassword, 4);
  const PasswordCopy l_new(m_data_store_->GetNewPassword());
  if (l_new.IsEmpty()) return Fail(kCode, kRoutineChangePassword, 5);
  if (CheckError(m_library_.SelectAp(&m_card_error_info_), kChangeSelect) != kOutcomeDone) return kOutcomeFailed;
  if (CheckError(m_library_.VerifyPassword(l_current.Get(), &m_card_error_info_), kChangeVerify) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  return CheckError(m_library_.ChangePassword(l_new.Get(), &m_card_error_info_), kChangeChange);
}

}  // namespace tavc
