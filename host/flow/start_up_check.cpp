#include "host/flow/start_up_check.h"

#include "host/flow/start_up_codes.h"
#include "host/state/request_modes.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8005;
constexpr std::uint8_t kRoutineCheckParams = 0x01;
constexpr std::uint8_t kRoutineCheckVersion = 0x03;

bool IsDigit(wchar_t in_l_c) { return in_l_c >= L'0' && in_l_c <= L'9'; }

// One to three decimal digits.
bool IsVersionNumber(const std::wstring& in_l_text) {
  if (in_l_text.empty() || in_l_text.size() > 3) return false;
  for (const wchar_t l_c : in_l_text) {
    if (!IsDigit(l_c)) return false;
  }
  return true;
}

// The leading decimal digits of a version text; saturates instead of overflowing.
long VersionValue(const std::wstring& in_l_text) {
  long l_value = 0;
  for (const wchar_t l_c : in_l_text) {
    if (!IsDigit(l_c)) break;
    if (l_value > 100000000L) return l_value;
    l_value = l_value * 10 + (l_c - L'0');
  }
  return l_value;
}

bool IsHexText(const std::wstring& in_l_text) {
  for (const wchar_t l_c : in_l_text) {
    if (!IsDigit(l_c) && !(l_c >= L'a' && l_c <= L'f') && !(l_c >= L'A' && l_c <= L'F')) return false;
  }
  return true;
}

bool IsAcceptedCertificateType(const std::wstring& in_l_type) {
  for (const wchar_t* l_type : {L"004", L"007", L"009", L"010", L"011", L"012"}) {
    if (in_l_type == l_type) return true;
  }
  return false;
}

}  // namespace

StartResult StartUpCheck::CheckParams(DataStore& in_l_data_store, ErrorInfo& in_l_error_info) {
  auto l_fail = [&in_l_error_info](const wchar_t* in_l_code) {
    in_l_error_info.SetError(in_l_code, L"", L"", L"");
    return StartResult::kRefused;
  };
  const std::wstring l_available = in_l_data_store.GetAvailableVersion();
  if (!IsVersionNumber(l_available)) return l_fail(L"EW042-1202");
  if (VersionValue(in_l_data_store.GetOwnVersion()) < VersionValue(l_available)) {
    in_l_data_store.SetUnavailableVersionFlg(1);
    in_l_error_info.SetError(L"EW044-1230", L"", L"", L"");
    return StartResult::kVersionTooOld;
  }
  if (!IsVersionNumber(in_l_data_store.GetLatestVersion())) return l_fail(L"EW042-1203");
  const std::size_t l_service_id_length = in_l_data_store.GetServiceId().size();
  if (l_service_id_length != 0 && l_service_id_length != 2) return l_fail(L"EW042-1204");
  const RequestMode l_mode = in_l_data_store.GetMode();
  if (!IsKnownMode(l_mode)) return l_fail(L"EW042-1205");
  if (l_mode == RequestMode::kPasswordChange) in_l_data_store.SetServiceId(L"");

  if (IsSigningMode(l_mode)) {
    for (const std::wstring& l_digest : in_l_data_store.GetDigest()) {
      if (l_digest.empty()) {
        in_l_error_info.SetError(DigestErrorCode(l_mode), L"", L"", L"");
        return StartResult::kRefused;
      }
      if (!IsHexText(l_digest)) {
        in_l_error_info.SetCardError(L"EW044-1299", kModule, kRoutineCheckParams,
                                     l_mode == RequestMode::kLogin ? 0x02 : 0x03);
        return StartResult::kRefused;
      }
    }
  }
  if (IsCertificateChoiceMode(l_mode)) {
    const std::wstring l_type = in_l_data_store.GetCertificateType();
    if (!l_type.empty() && !IsAcceptedCertificateType(l_type)) return l_fail(L"EW042-1208");
  }
  return StartResult::kAccepted;
}

StartUpCheck::StartUpCheck() : m_registry_(platform::ProcessUserRegistry()) {}

StartUpCheck::StartUpCheck(platform::UserRegistry& in_l_registry) : m_registry_(in_l_registry) {}

int StartUpCheck::CheckVersion(DataStore* in_l_data_store, ErrorInfo* in_l_error_info) {
  if (in_l_data_store == nullptr) {
    if (in_l_error_info != nullptr) in_l_error_info->SetCardError(L"EW044-0499", kModule, kRoutineCheckVersion, 0x01);
    return 1;
  }
  const long l_own = VersionValue(in_l_data_store->GetOwnVersion());
  const long l_latest = VersionValue(in_l_data_store->GetLatestVersion());
  const long l_available = VersionValue(in_l_data_store->GetAvailableVersion());
  if (l_latest <= l_own) return 0;

  const RequestMode l_mode = in_l_data_store->GetMode();
  std::wstring l_start = StartUpCodeStart(l_mode);
  // This version may no longer be used: the GPKI modes have no code for it.
  const bool l_unusable = l_own < l_available;
  if (l_unusable && IsGpkiMode(l_mode)) l_start.clear();
  if (!l_start.empty() && in_l_error_info != nullptr) {
    in_l_error_info->SetError(l_start + (l_unusable ? L"44-0431" : L"44-0430"), L"", L"", L"");
  }
  return 1;
}

}  // namespace tavc
