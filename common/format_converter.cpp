#include "common/format_converter.h"

#include <cstring>

namespace tavc {
namespace {

int HexValue(char in_l_c) {
  if (in_l_c >= '0' && in_l_c <= '9') return in_l_c - '0';
  if (in_l_c >= 'a' && in_l_c <= 'f') return in_l_c - 'a' + 10;
  if (in_l_c >= 'A' && in_l_c <= 'F') return in_l_c - 'A' + 10;
  return -1;
}

}  // namespace

void FormatConverter::BinHexConv(const std::uint8_t* in_l_data, std::int32_t in_l_length, char* out_l_data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  if (in_l_data == nullptr || in_l_length <= 0 || out_l_data == nullptr) return;
  for (std::int32_t l_i = 0; l_i < in_l_length; ++l_i) {
    out_l_data[2 * l_i] = kDigits[in_l_data[l_i] >> 4];
    out_l_data[2 * l_i + 1] = kDigits[in_l_data[l_i] & 0x0F];
  }
}

std::int32_t FormatConverter::HexBinConv(const char* in_l_data, std::uint8_t* out_l_data) {
  if (in_l_data == nullptr || out_l_data == nullptr) return 0;
  const std::size_t l_length = std::strlen(in_l_data);
  if (l_length % 2 != 0) return -1;
  for (std::size_t l_i = 0; l_i < l_length; ++l_i) {
    if (HexValue(in_l_data[l_i]) < 0) return -1;
  }
  for (std::size_t l_k = 0; l_k < l_length / 2; ++l_k) {
    out_l_data[l_k] = static_cast<std::uint8_t>(HexValue(in_l_data[2 * l_k]) * 16 + HexValue(in_l_data[2 * l_k + 1]));
  }
  return static_cast<std::int32_t>(l_length / 2);
}

void FormatConverter::CStringToLPBYTE(std::wstring in_l_data, std::uint8_t* out_l_data) {
  if (in_l_data.empty() || out_l_data == nullptr) return;
  for (std::size_t l_i = 0; l_i < in_l_data.size(); ++l_i) {
    out_l_data[l_i] = static_cast<std::uint8_t>(static_cast<unsigned>(in_l_data[l_i]) & 0xFFU);
  }
  out_l_data[in_l_data.size()] = 0;
}

}  // namespace tavc
