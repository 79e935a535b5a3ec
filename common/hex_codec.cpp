#include "common/hex_codec.h"

namespace tavc {
namespace {

int DigitValue(wchar_t in_l_char) {
  if (in_l_char >= L'0' && in_l_char <= L'9') return in_l_char - L'0';
  if (in_l_char >= L'a' && in_l_char <= L'f') return in_l_char - L'a' + 10;
  if (in_l_char >= L'A' && in_l_char <= L'F') return in_l_char - L'A' + 10;
  return -1;
}

}  // namespace

std::wstring BytesToHex(const std::uint8_t* in_l_data, std::size_t in_l_size, HexCase in_l_case) {
  const wchar_t* l_digits = in_l_case == HexCase::kUpper ? L"0123456789ABCDEF" : L"0123456789abcdef";
  std::wstring l_text;
  if (in_l_data == nullptr) return l_text;
  l_text.reserve(in_l_size * 2);
  for (std::size_t l_i = 0; l_i < in_l_size; ++l_i) {
    l_text += l_digits[in_l_data[l_i] >> 4];
    l_text += l_digits[in_l_data[l_i] & 0x0FU];
  }
  return l_text;
}

bool HexToBytes(std::wstring_view in_l_text, std::vector<std::uint8_t>& out_l_bytes) {
  if (in_l_text.size() % 2 != 0) return false;
  std::vector<std::uint8_t> l_bytes;
  l_bytes.reserve(in_l_text.size() / 2);
  for (std::size_t l_i = 0; l_i < in_l_text.size(); l_i += 2) {
    const int l_high = DigitValue(in_l_text[l_i]);
    const int l_low = DigitValue(in_l_text[l_i + 1]);
    if (l_high < 0 || l_low < 0) return false;
    l_bytes.push_back(static_cast<std::uint8_t>((l_high << 4) | l_low));
  }
  out_l_bytes.swap(l_bytes);
  return true;
}

}  // namespace tavc
