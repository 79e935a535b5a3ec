#include "common/base64.h"

namespace tavc {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(wchar_t in_l_c) {
  if (in_l_c >= L'A' && in_l_c <= L'Z') return in_l_c - L'A';
  if (in_l_c >= L'a' && in_l_c <= L'z') return in_l_c - L'a' + 26;
  if (in_l_c >= L'0' && in_l_c <= L'9') return in_l_c - L'0' + 52;
  if (in_l_c == L'+') return 62;
  if (in_l_c == L'/') return 63;
  return -1;
}

bool IsSkipped(wchar_t in_l_c) { return in_l_c == L' ' || in_l_c == L'\t' || in_l_c == L'\r' || in_l_c == L'\n'; }

}  // namespace

bool DecodeBase64(std::wstring_view in_l_text, std::vector<std::uint8_t>& out_l_bytes) {
  out_l_bytes.clear();
  out_l_bytes.reserve(in_l_text.size() / 4 * 3 + 3);
  std::uint32_t l_bits = 0;
  std::size_t l_sextets = 0;
  std::size_t l_padding = 0;
  for (const wchar_t l_c : in_l_text) {
    if (IsSkipped(l_c)) continue;
    if (l_c == L'=') {
      ++l_padding;
      continue;
    }
    const int l_value = SextetOf(l_c);
    if (l_value < 0 || l_padding > 0) return false;
    l_bits = (l_bits << 6) | static_cast<std::uint32_t>(l_value);
    if (++l_sextets % 4 == 0) {
      out_l_bytes.push_back(static_cast<std::uint8_t>(l_bits >> 16));
      out_l_bytes.push_back(static_cast<std::uint8_t>(l_bits >> 8));
      out_l_bytes.push_back(static_cast<std::uint8_t>(l_bits));
      l_bits = 0;
    }
  }
  const std::size_t l_tail = l_sextets % 4;
  if (l_tail == 1) return false;
  if (l_padding > 0 && l_tail + l_padding != 4) return false;
  if (l_tail == 2) {
    out_l_bytes.push_back(static_cast<std::uint8_t>(l_bits >> 4));
  } else if (l_tail == 3) {
    out_l_bytes.push_back(static_cast<std::uint8_t>(l_bits >> 10));
    out_l_bytes.push_back(static_cast<std::uint8_t>(l_bits >> 2));
  }
  return true;
}

std::wstring EncodeBase64(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  std::wstring l_out;
  l_out.reserve((in_l_size + 2) / 3 * 4);
  for (std::size_t l_i = 0; l_i < in_l_size; l_i += 3) {
    const std::size_t l_left = in_l_size - l_i;
    std::uint32_t l_group = static_cast<std::uint32_t>(in_l_data[l_i]) << 16;
    if (l_left > 1) l_group |= static_cast<std::uint32_t>(in_l_data[l_i + 1]) << 8;
    if (l_left > 2) l_group |= in_l_data[l_i + 2];
    l_out.push_back(static_cast<wchar_t>(kAlphabet[(l_group >> 18) & 0x3F]));
    l_out.push_back(static_cast<wchar_t>(kAlphabet[(l_group >> 12) & 0x3F]));
    l_out.push_back(l_left > 1 ? static_cast<wchar_t>(kAlphabet[(l_group >> 6) & 0x3F]) : L'=');
    l_out.push_back(l_left > 2 ? static_cast<wchar_t>(kAlphabet[l_group & 0x3F]) : L'=');
  }
  return l_out;
}

}  // namespace tavc
