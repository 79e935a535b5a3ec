// The installation UUID: two copies under the current user, the normal one and
// the one a low-integrity (protected-mode) process sees. Each copy restores the
// other; when they differ, the normal copy wins.
#include <algorithm>

#include "host/flow/start_up_check.h"
#include "host/flow/start_up_codes.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8005;
constexpr std::uint8_t kRoutineGetUuid = 0x02;
// A failure other than access denied, for a copy whose key path is unknown.
constexpr std::uint32_t kNoKeyPath = 1;

bool IsHexDigit(wchar_t in_l_c) {
  return (in_l_c >= L'0' && in_l_c <= L'9') || (in_l_c >= L'a' && in_l_c <= L'f') ||
         (in_l_c >= L'A' && in_l_c <= L'F');
}

// Registry text as UTF-16 units up to the first NUL. The data is neither
// terminated nor of even length for sure; an odd last byte counts as a unit
// with a zero high byte, as in a zero-filled buffer.
std::wstring TextUpToNul(const std::vector<std::uint8_t>& in_l_data) {
  std::wstring l_text;
  for (std::size_t l_i = 0; l_i < in_l_data.size(); l_i += 2) {
    const unsigned l_low = in_l_data[l_i];
    const unsigned l_high = l_i + 1 < in_l_data.size() ? in_l_data[l_i + 1] : 0U;
    const auto l_unit = static_cast<wchar_t>(l_low | (l_high << 8));
    if (l_unit == L'\0') break;
    l_text.push_back(l_unit);
  }
  return l_text;
}

std::wstring FormatGuid(const platform::Guid& in_l_guid) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring l_text;
  auto l_append = [&l_text](std::uint32_t in_l_value, int in_l_digits) {
    for (int l_shift = (in_l_digits - 1) * 4; l_shift >= 0; l_shift -= 4) {
      l_text.push_back(kDigits[(in_l_value >> l_shift) & 0x0F]);
    }
  };
  l_append(in_l_guid.data1, 8);
  l_append(in_l_guid.data2, 4);
  l_append(in_l_guid.data3, 4);
  for (const std::uint8_t l_byte : in_l_guid.data4) l_append(l_byte, 2);
  return l_text;
}

}  // namespace

int StartUpCheck::GetRegistryUuid(const std::wstring& in_l_subkey, std::size_t in_l_size, std::wstring& out_l_uuid) {
  const std::size_t l_characters = std::min(in_l_size, kRegistryReadCharacters);
  platform::RegistryValue l_value;
  if (m_registry_.ReadValue(in_l_subkey, kUuidValueName, l_characters * sizeof(char16_t), l_value) !=
      platform::kRegistryOk) {
    return 1;
  }
  // Another type under the name is no UUID, whatever its bytes look like.
  if (l_value.type != platform::kRegistryText) return 1;
  const std::wstring l_text = TextUpToNul(l_value.data);
  if (l_text.size() != kUuidLength || !std::all_of(l_text.begin(), l_text.end(), IsHexDigit)) return 1;
  out_l_uuid = l_text;
  return 0;
}

std::uint32_t StartUpCheck::SetRegistryUuid(const std::wstring& in_l_subkey, std::size_t in_l_length,
                                            const std::wstring& in_l_uuid) {
  return m_registry_.WriteText(in_l_subkey, kUuidValueName, in_l_uuid.substr(0, in_l_length));
}

int StartUpCheck::GetUuid(ErrorInfo* in_l_error_info, ResultData* in_l_result_data, DataStore* in_l_data_store) {
  if (in_l_result_data == nullptr || in_l_data_store == nullptr) {
    if (in_l_error_info != nullptr) {
      in_l_error_info->SetCardError(L"EW044-0399", kModule, kRoutineGetUuid, in_l_result_data == nullptr ? 0x01 : 0x02);
    }
    return 1;
  }

  std::wstring l_sid;
  const bool l_have_sid = m_registry_.GetUserSid(l_sid) && !l_sid.empty();
  const std::wstring l_low_key = std::wstring(kLowIntegrityKeyRoot) + L"\\" + l_sid + L"\\" + kUuidKey;

  std::wstring l_normal_uuid;
  std::wstring l_low_uuid;
  GetRegistryUuid(kUuidKey, kRegistryReadCharacters, l_normal_uuid);
  if (l_have_sid) GetRegistryUuid(l_low_key, kRegistryReadCharacters, l_low_uuid);

  std::wstring l_uuid;
  if (l_normal_uuid.empty() && l_low_uuid.empty()) {
    platform::Guid l_guid;
    if (m_registry_.CreateGuid(l_guid)) l_uuid = FormatGuid(l_guid);
  } else if (!l_normal_uuid.empty()) {
    l_uuid = l_normal_uuid;
    // A differing low-integrity copy is rewritten from the normal one.
  } else {
    l_uuid = l_low_uuid;
  }

  std::uint32_t l_normal_result = platform::kRegistryOk;
  std::uint32_t l_low_result = platform::kRegistryOk;
  if (!l_uuid.empty()) {
    if (l_uuid != l_normal_uuid) l_normal_result = SetRegistryUuid(kUuidKey, l_uuid.size(), l_uuid);
    if (l_uuid != l_low_uuid) {
      l_low_result = l_have_sid ? SetRegistryUuid(l_low_key, l_uuid.size(), l_uuid) : kNoKeyPath;
    }
  }

  // A low-integrity process may not write the normal copy; it still has the other.
  const bool l_normal_ok =
      l_normal_result == platform::kRegistryOk || l_normal_result == platform::kRegistryAccessDenied;
  if (!l_uuid.empty() && l_normal_ok && l_low_result == platform::kRegistryOk) {
    in_l_result_data->SetUuid(l_uuid);
    return 0;
  }
  const std::wstring l_start = StartUpCodeStart(in_l_data_store->GetMode());
  if (!l_start.empty() && in_l_error_info != nullptr) in_l_error_info->SetError(l_start + L"44-0300", L"", L"", L"");
  return 1;
}

}  // namespace tavc
