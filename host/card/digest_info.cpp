#include "host/card/digest_info.h"

#include "host/cert/format_converter.h"

namespace tavc {

bool DigestInfoFromHex(const std::wstring& in_l_hex, DigestInfo* out_l_digest_info) {
  if (out_l_digest_info == nullptr || in_l_hex.size() != 2 * kDigestInfoSize) return false;
  std::array<char, 2 * kDigestInfoSize + 1> l_text{};
  for (std::size_t l_i = 0; l_i < in_l_hex.size(); ++l_i) {
    // Only ASCII may pass: the converter sees bytes.
    if (in_l_hex[l_i] <= 0 || in_l_hex[l_i] > 0x7F) return false;
    l_text[l_i] = static_cast<char>(in_l_hex[l_i]);
  }
  return FormatConverter::HexBinConv(l_text.data(), out_l_digest_info->data()) ==
         static_cast<std::int32_t>(kDigestInfoSize);
}

}  // namespace tavc
