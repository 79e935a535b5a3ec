#include "host/card/hex_text.h"

#include <vector>

#include "host/cert/format_converter.h"

namespace tavc {

std::wstring HexText(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  if (in_l_data == nullptr || in_l_size == 0 || in_l_size > 0x3FFFFFFFU) return std::wstring();
  std::vector<char> l_text(2 * in_l_size + 1, '\0');
  FormatConverter::BinHexConv(in_l_data, static_cast<std::int32_t>(in_l_size), l_text.data());
  return std::wstring(l_text.begin(), l_text.end() - 1);
}

}  // namespace tavc
