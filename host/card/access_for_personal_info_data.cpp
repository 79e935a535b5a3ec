// The card-surface items, the city code and the combination code.
#include <array>

#include "common/format_converter.h"
#include "common/hex_codec.h"
#include "host/card/access_for_personal_info.h"
#include "host/card/card_result.h"
#include "host/card/combination_code.h"
#include "host/card/personal_data.h"

namespace tavc {
namespace {

constexpr std::uint8_t kRoutinePersonalInfo = 0x03;
constexpr std::uint8_t kRoutineCombinationCode = 0x15;
constexpr std::uint8_t kRoutineCityCode = 0x16;

constexpr CardCodeTable kCitySelect{L"EW144-3899", L"EW144-3801", nullptr, nullptr, L"EW144-3802"};
constexpr CardCodeTable kCityRead{L"EW144-3899", L"EW144-3803", nullptr, nullptr, L"EW144-3804"};

struct CombinationCodes {
  const wchar_t* generic;
  CardCodeTable select;
  CardCodeTable read;
};
constexpr CombinationCodes kCombinationLogin{
    L"EW144-3A99",
    {L"EW144-3A99", L"EW144-3A01", nullptr, nullptr, L"EW144-3A02"},
    {L"EW144-3A99", L"EW144-3A03", nullptr, nullptr, L"EW144-3A04"}};
constexpr CombinationCodes kCombinationInfo{
    L"EW344-3A99",
    {L"EW344-3A99", L"EW344-3A01", nullptr, nullptr, L"EW344-3A02"},
    {L"EW344-3A99", L"EW344-3A03", nullptr, nullptr, L"EW344-3A04"}};

constexpr std::size_t kUuidSize = 16;

}  // namespace

CardOutcome AccessForPersonalInfo::ExtractPersonalInfo() {
  constexpr wchar_t kCode[] = L"EW044-2299";
  if (!CheckMembers(kCode, kRoutinePersonalInfo, true)) return kOutcomeFailed;
  const bool l_with_my_number = Mode() == RequestMode::kMyNumberInfo;
  if (!l_with_my_number && Mode() != RequestMode::kPersonalInfo) return Fail(kCode, kRoutinePersonalInfo, 6);

  // The library names the failed step's code; the details come from the exchange.
  const auto l_library_failure = [this, &kCode](int in_l_result, std::uint8_t in_l_point) {
    if (in_l_result == kCardInvalid) return Fail(kCode, kRoutinePersonalInfo, in_l_point);
    if (in_l_result == kCardPcscFailure) {
      m_error_info_->SetApiError(m_card_error_info_.error_code,
                                 static_cast<std::uint32_t>(m_card_error_info_.pcsc_api_error));
    } else {
      m_error_info_->SetStatusError(m_card_error_info_.error_code, StatusByteText(m_card_error_info_.sw1),
                                    StatusByteText(m_card_error_info_.sw2));
    }
    ReleaseCardSession();
    return kOutcomeFailed;
  };

  PersonalData l_data;
  if (l_with_my_number) {
    const int l_ret = m_library_.ReadMyNumber(&l_data, &m_card_error_info_);
    if (l_ret != kCardOk) return l_library_failure(l_ret, 5);
    m_result_data_->SetMynumber(BytesToHex(l_data.my_number.data(), l_data.my_number.size(), HexCase::kLower));
  }
  const int l_ret = m_library_.ReadPersonalInfo(&l_data, &m_card_error_info_);
  if (l_ret != kCardOk) return l_library_failure(l_ret, 7);
  m_result_data_->SetName(BytesToHex(l_data.name.data(), l_data.name_length, HexCase::kLower));
  m_result_data_->SetAddress(BytesToHex(l_data.address.data(), l_data.address_length, HexCase::kLower));
  m_result_data_->SetBirthday(BytesToHex(l_data.birthday.data(), l_data.birthday.size(), HexCase::kLower));
  m_result_data_->SetSex(BytesToHex(&l_data.sex, 1, HexCase::kLower));
  return kOutcomeDone;
}

CardOutcome AccessForPersonalInfo::ExtractCityCode() {
  if (m_data_store_ != nullptr && (Mode() != RequestMode::kLogin || m_data_store_->GetCityCodeFlag() != 1)) {
    return kOutcomeDone;
  }
  if (!CheckMembers(L"EW144-3899", kRoutineCityCode, true)) return kOutcomeFailed;
  if (CheckError(m_library_.SelectAp(kApCardInfo, &m_card_error_info_), kCitySelect) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  std::array<std::uint8_t, kCityCodeSize> l_city_code{};
  if (CheckError(m_library_.ReadCityCode(&l_city_code, &m_card_error_info_), kCityRead) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  m_result_data_->SetCityCode(BytesToHex(l_city_code.data(), l_city_code.size(), HexCase::kLower));
  return kOutcomeDone;
}

CardOutcome AccessForPersonalInfo::ExtractCombinationCode() {
  const RequestMode l_mode = Mode();
  const bool l_login = l_mode == RequestMode::kLogin;
  if (m_data_store_ != nullptr &&
      ((!l_login && l_mode != RequestMode::kMyNumberInfo && l_mode != RequestMode::kPersonalInfo) ||
       m_data_store_->GetCombinationCodeFlag() != 1)) {
    return kOutcomeDone;
  }
  const CombinationCodes& l_codes = l_login ? kCombinationLogin : kCombinationInfo;
  if (!CheckMembers(l_codes.generic, kRoutineCombinationCode, true)) return kOutcomeFailed;
  if (CheckError(m_library_.SelectAp(kApCardInfo, &m_card_error_info_), l_codes.select) != kOutcomeDone) {
    return kOutcomeFailed;
  }
  std::array<std::uint8_t, kManufactureNumberSize> l_manufacture_number{};
  const int l_read = m_library_.ReadManufactureNumber(&l_manufacture_number, &m_card_error_info_);
  if (CheckError(l_read, l_codes.read) != kOutcomeDone) return kOutcomeFailed;

  const std::wstring& l_uuid_text = m_result_data_->GetUuid();
  std::array<std::uint8_t, kUuidSize> l_uuid{};
  std::array<char, 2 * kUuidSize + 1> l_uuid_ascii{};
  bool l_uuid_ok = l_uuid_text.size() == 2 * kUuidSize;
  for (std::size_t l_i = 0; l_uuid_ok && l_i < l_uuid_text.size(); ++l_i) {
    l_uuid_ok = l_uuid_text[l_i] > 0 && l_uuid_text[l_i] <= 0x7F;
    l_uuid_ascii[l_i] = static_cast<char>(l_uuid_text[l_i]);
  }
  if (!l_uuid_ok || FormatConverter::HexBinConv(l_uuid_ascii.data(), l_uuid.data()) !=
                        static_cast<std::int32_t>(kUuidSize)) {
    return Fail(l_codes.generic, kRoutineCombinationCode, 5);
  }

  std::wstring l_code;
  std::uint32_t l_error = 0;
  if (!ComputeCombinationCode(l_manufacture_number, l_uuid, &l_code, &l_error)) {
    m_error_info_->SetApiError(l_codes.generic, l_error);
    m_error_info_->SetErrorDetail(l_error);
    ReleaseCardSession();
    return kOutcomeFailed;
  }
  m_result_data_->SetCombinationCode(std::move(l_code));
  return kOutcomeDone;
}

}  // namespace tavc
