// The card-surface items and the card information record.
#include <algorithm>
#include <vector>

#include "host/card/card_result.h"
#include "host/card/library_for_personal_info.h"
#include "host/card/tlv_format.h"

namespace tavc {
namespace {

constexpr std::size_t kChunkSize = 250;
// Index, name (300), address (600), date of birth and sex with their headers fit
// in five reads; a larger structure is not one this card writes, and five reads
// are what the per-read codes count.
constexpr std::size_t kMaxPersonalInfoSize = 5 * kChunkSize;

constexpr wchar_t kUnexpectedCode[] = L"EW044-2299";

wchar_t UpperHexDigit(int in_l_value) { return L"0123456789ABCDEF"[in_l_value & 0xF]; }

// The code of a failed read of the basic four items, counted from 1.
std::wstring PersonalInfoReadCode(int in_l_result, const CardErrorInfo& in_l_card_error_info, int in_l_read) {
  if (in_l_result == kCardPcscFailure) {
    if (IsCardRemoval(in_l_card_error_info.pcsc_api_error)) return L"EW340-2211";
    return std::wstring(L"EW344-220") + UpperHexDigit(in_l_read + 1);
  }
  if (in_l_result == kCardStatus) {
    return std::wstring(L"EW344-220") + UpperHexDigit(in_l_read <= 3 ? in_l_read + 7 : in_l_read + 8);
  }
  return kUnexpectedCode;
}

std::size_t BigEndian16(const std::uint8_t* in_l_bytes) {
  return static_cast<std::size_t>(in_l_bytes[0]) * 256U + in_l_bytes[1];
}

// The index TLV opens the value of the outer TLV and holds the offsets of the
// name, address, date of birth and sex items, counted from the structure's start.
bool DecodeBasicFourItems(const std::vector<std::uint8_t>& in_l_structure, PersonalData* out_l_personal_data) {
  const std::uint8_t* l_data = in_l_structure.data();
  const std::size_t l_size = in_l_structure.size();
  TlvFormat l_outer;
  TlvFormat l_index;
  if (!GetTlvFormat(l_data, l_size, 0, &l_outer) ||
      !GetTlvFormat(l_data, l_size, l_outer.header_length, &l_index) || l_index.value_length < 8) {
    return false;
  }
  const std::uint8_t* l_offsets = l_data + l_outer.header_length + l_index.header_length;
  const std::size_t l_name_offset = BigEndian16(l_offsets);
  const std::size_t l_address_offset = BigEndian16(l_offsets + 2);
  const std::size_t l_birthday_offset = BigEndian16(l_offsets + 4);
  const std::size_t l_sex_offset = BigEndian16(l_offsets + 6);

  TlvFormat l_name;
  TlvFormat l_address;
  if (!GetTlvFormat(l_data, l_size, l_name_offset, &l_name) ||
      l_name.value_length > out_l_personal_data->name.size() ||
      !GetTlvFormat(l_data, l_size, l_address_offset, &l_address) ||
      l_address.value_length > out_l_personal_data->address.size() || l_birthday_offset > l_size ||
      l_size - l_birthday_offset < 3 + out_l_personal_data->birthday.size() || l_sex_offset > l_size ||
      l_size - l_sex_offset < 3 + 1) {
    return false;
  }
  std::copy_n(l_data + l_name_offset + l_name.header_length, l_name.value_length, out_l_personal_data->name.begin());
  out_l_personal_data->name_length = static_cast<std::uint16_t>(l_name.value_length);
  std::copy_n(l_data + l_address_offset + l_address.header_length, l_address.value_length,
              out_l_personal_data->address.begin());
  out_l_personal_data->address_length = static_cast<std::uint16_t>(l_address.value_length);
  std::copy_n(l_data + l_birthday_offset + 3, out_l_personal_data->birthday.size(),
              out_l_personal_data->birthday.begin());
  out_l_personal_data->sex = l_data[l_sex_offset + 3];
  return true;
}

}  // namespace

int LibraryForPersonalInfo::ReadMyNumber(PersonalData* out_l_personal_data, CardErrorInfo* in_l_card_error_info) {
  if (in_l_card_error_info == nullptr) return kCardInvalid;
  if (out_l_personal_data == nullptr || !m_connection_.IsConnected()) {
    in_l_card_error_info->error_code = kUnexpectedCode;
    return kCardInvalid;
  }
  const std::array<std::uint8_t, 5> l_command{0x00, 0xB0, 0x81, 0x00, 0x0F};
  int l_ret = m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
  TlvFormat l_tlv;
  if (l_ret == kCardOk &&
      (!GetTlvFormat(m_connection_.ResponseData(), m_connection_.ResponseDataLength(), 0, &l_tlv) ||
       l_tlv.header_length != 3 || l_tlv.value_length != out_l_personal_data->my_number.size())) {
    l_ret = m_connection_.RefuseResponse(in_l_card_error_info);
  }
  switch (l_ret) {
    case kCardOk:
      std::copy_n(m_connection_.ResponseData() + 3, out_l_personal_data->my_number.size(),
                  out_l_personal_data->my_number.begin());
      return kCardOk;
    case kCardPcscFailure:
      in_l_card_error_info->error_code =
          IsCardRemoval(in_l_card_error_info->pcsc_api_error) ? L"EW340-2210" : L"EW344-2200";
      return l_ret;
    case kCardStatus:
      in_l_card_error_info->error_code = L"EW344-2201";
      return l_ret;
    default:
      in_l_card_error_info->error_code = kUnexpectedCode;
      return l_ret;
  }
}

int LibraryForPersonalInfo::ReadPersonalInfo(PersonalData* out_l_personal_data, CardErrorInfo* in_l_card_error_info) {
  if (in_l_card_error_info == nullptr) return kCardInvalid;
  if (out_l_personal_data == nullptr || !m_connection_.IsConnected()) {
    in_l_card_error_info->error_code = kUnexpectedCode;
    return kCardInvalid;
  }
  int l_read = 1;
  const auto l_fail = [&](int in_l_result) {
    in_l_card_error_info->error_code = PersonalInfoReadCode(in_l_result, *in_l_card_error_info, l_read);
    return in_l_result;
  };

  const std::array<std::uint8_t, 5> l_first{0x00, 0xB0, 0x82, 0x00, static_cast<std::uint8_t>(kChunkSize)};
  int l_ret = m_connection_.SendCommand(l_first.data(), l_first.size(), in_l_card_error_info);
  if (l_ret != kCardOk) return l_fail(l_ret);
  TlvFormat l_outer;
  if (!GetTlvFormatHeader(m_connection_.ResponseData(), m_connection_.ResponseDataLength(), 0, &l_outer) ||
      l_outer.header_length + l_outer.value_length > kMaxPersonalInfoSize) {
    return l_fail(m_connection_.RefuseResponse(in_l_card_error_info));
  }
  std::vector<std::uint8_t> l_structure(l_outer.header_length + l_outer.value_length, 0);
  std::size_t l_offset = std::min(l_structure.size(), kChunkSize);
  if (m_connection_.ResponseDataLength() < l_offset) return l_fail(m_connection_.RefuseResponse(in_l_card_error_info));
  std::copy_n(m_connection_.ResponseData(), l_offset, l_structure.begin());

  while (l_offset < l_structure.size()) {
    ++l_read;
    const std::size_t l_chunk = std::min(l_structure.size() - l_offset, kChunkSize);
    const std::array<std::uint8_t, 5> l_next{0x00, 0xB0, static_cast<std::uint8_t>(l_offset >> 8),
                                             static_cast<std::uint8_t>(l_offset & 0xFF),
                                             static_cast<std::uint8_t>(l_chunk)};
    l_ret = m_connection_.SendCommand(l_next.data(), l_next.size(), in_l_card_error_info);
    if (l_ret != kCardOk) return l_fail(l_ret);
    if (m_connection_.ResponseDataLength() < l_chunk) return l_fail(m_connection_.RefuseResponse(in_l_card_error_info));
    std::copy_n(m_connection_.ResponseData(), l_chunk, l_structure.begin() + static_cast<std::ptrdiff_t>(l_offset));
    l_offset += l_chunk;
  }
  if (!DecodeBasicFourItems(l_structure, out_l_personal_data)) {
    return l_fail(m_connection_.RefuseResponse(in_l_card_error_info));
  }
  return kCardOk;
}

int LibraryForPersonalInfo::ReadManufactureNumber(std::array<std::uint8_t, kManufactureNumberSize>* out_l_number,
                                                  CardErrorInfo* in_l_card_error_info) {
  if (out_l_number == nullptr) return kCardInvalid;
  return ReadCardRecord(4, out_l_number->size(), out_l_number->data(), in_l_card_error_info);
}

int LibraryForPersonalInfo::ReadCityCode(std::array<std::uint8_t, kCityCodeSize>* out_l_city_code,
                                         CardErrorInfo* in_l_card_error_info) {
  if (out_l_city_code == nullptr) return kCardInvalid;
  return ReadCardRecord(17, out_l_city_code->size(), out_l_city_code->data(), in_l_card_error_info);
}

int LibraryForPersonalInfo::ReadCardRecord(std::size_t in_l_first, std::size_t in_l_count, std::uint8_t* out_l_bytes,
                                           CardErrorInfo* in_l_card_error_info) {
  const std::array<std::uint8_t, 5> l_command{0x00, 0xB2, 0x01, 0x0C, 0x00};
  const int l_ret = m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
  if (l_ret != kCardOk) return l_ret;
  if (m_connection_.ResponseDataLength() < in_l_first + in_l_count) {
    return m_connection_.RefuseResponse(in_l_card_error_info);
  }
  std::copy_n(m_connection_.ResponseData() + in_l_first, in_l_count, out_l_bytes);
  return kCardOk;
}

}  // namespace tavc
