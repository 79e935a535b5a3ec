#include "tools/cardsim/personal_data_files.h"

#include <cstddef>

namespace tavc::cardsim {
namespace {

void AppendLength(std::vector<std::uint8_t>& io_l_bytes, std::size_t in_l_length) {
  if (in_l_length <= 0x7F) {
    io_l_bytes.push_back(static_cast<std::uint8_t>(in_l_length));
  } else {
    io_l_bytes.push_back(0x82);
    io_l_bytes.push_back(static_cast<std::uint8_t>((in_l_length >> 8) & 0xFF));
    io_l_bytes.push_back(static_cast<std::uint8_t>(in_l_length & 0xFF));
  }
}

void AppendTlv(std::vector<std::uint8_t>& io_l_bytes, std::uint8_t in_l_tag1,
               std::uint8_t in_l_tag2, const std::string& in_l_value) {
  io_l_bytes.push_back(in_l_tag1);
  io_l_bytes.push_back(in_l_tag2);
  AppendLength(io_l_bytes, in_l_value.size());
  io_l_bytes.insert(io_l_bytes.end(), in_l_value.begin(), in_l_value.end());
}

// Exactly in_l_size bytes of the text, padded with in_l_fill.
std::string Fixed(const std::string& in_l_text, std::size_t in_l_size, char in_l_fill) {
  std::string l_result = in_l_text.substr(0, in_l_size);
  l_result.resize(in_l_size, in_l_fill);
  return l_result;
}

void PutOffset(std::vector<std::uint8_t>& io_l_bytes, std::size_t in_l_at, std::size_t in_l_value) {
  io_l_bytes[in_l_at] = static_cast<std::uint8_t>((in_l_value >> 8) & 0xFF);
  io_l_bytes[in_l_at + 1] = static_cast<std::uint8_t>(in_l_value & 0xFF);
}

}  // namespace

std::vector<std::uint8_t> TokenBytes(const std::string& in_l_text) {
  const std::string l_token = Fixed(in_l_text, 32, ' ');
  return std::vector<std::uint8_t>(l_token.begin(), l_token.end());
}

std::vector<std::uint8_t> IndividualNumberFile(const MyNumberCardProfile& in_l_profile) {
  std::vector<std::uint8_t> l_bytes{0xFF, 0x10, 0x0C};
  const std::string l_digits = Fixed(in_l_profile.m_individual_number_, 12, '0');
  l_bytes.insert(l_bytes.end(), l_digits.begin(), l_digits.end());
  l_bytes.push_back(0xFF);
  l_bytes.push_back(0xFF);
  return l_bytes;
}

std::vector<std::uint8_t> BasicFourItemsFile(const MyNumberCardProfile& in_l_profile) {
  // The value of the outer TLV, built with the index first and patched once the
  // item positions are known. Positions count from the first byte of the file,
  // so the outer header size must be known first.
  std::vector<std::uint8_t> l_items;
  l_items.insert(l_items.end(), {0xDF, 0x21, 0x08, 0, 0, 0, 0, 0, 0, 0, 0});
  std::size_t l_positions[4] = {0, 0, 0, 0};
  l_positions[0] = l_items.size();
  AppendTlv(l_items, 0xDF, 0x22, in_l_profile.m_name_);
  l_positions[1] = l_items.size();
  AppendTlv(l_items, 0xDF, 0x23, in_l_profile.m_address_);
  l_positions[2] = l_items.size();
  AppendTlv(l_items, 0xDF, 0x24, Fixed(in_l_profile.m_birth_date_, 8, '0'));
  l_positions[3] = l_items.size();
  AppendTlv(l_items, 0xDF, 0x25, Fixed(in_l_profile.m_sex_, 1, '9'));

  std::vector<std::uint8_t> l_file{0xFF, 0x20};
  AppendLength(l_file, l_items.size());
  const std::size_t l_header = l_file.size();
  for (std::size_t l_i = 0; l_i < 4; ++l_i) {
    PutOffset(l_items, 3 + 2 * l_i, l_header + l_positions[l_i]);
  }
  l_file.insert(l_file.end(), l_items.begin(), l_items.end());
  l_file.insert(l_file.end(), 16, 0xFF);
  return l_file;
}

std::vector<std::uint8_t> CardInformationRecord(const MyNumberCardProfile& in_l_profile) {
  const std::string l_digits = Fixed(in_l_profile.m_card_serial_, 15, '0') +
                               Fixed(in_l_profile.m_city_code_, 5, '0') +
                               Fixed(in_l_profile.m_expiry_date_, 8, '0');
  std::vector<std::uint8_t> l_record{0x01, 0x1C};
  l_record.insert(l_record.end(), l_digits.begin(), l_digits.end());
  return l_record;
}

}  // namespace tavc::cardsim
