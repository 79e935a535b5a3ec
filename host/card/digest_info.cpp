#include "host/card/digest_info.h"

#include <algorithm>

#include "common/format_converter.h"

namespace tavc {
namespace {

// SEQUENCE { SEQUENCE { OID 2.16.840.1.101.3.4.2.1, NULL }, OCTET STRING (32) }.
constexpr std::array<std::uint8_t, 19> kSha256Header = {0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60,
                                                        0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02,
                                                        0x01, 0x05, 0x00, 0x04, 0x20};
static_assert(kSha256Header.size() + 32 == kDigestInfoSize);

}  // namespace

bool DigestInfoFromHex(const std::wstring& in_l_hex, DigestInfo* out_l_digest_info) {
  if (out_l_digest_info == nullptr || in_l_hex.size() != 2 * kDigestInfoSize) return false;
  std::array<char, 2 * kDigestInfoSize + 1> l_text{};
  for (std::size_t l_i = 0; l_i < in_l_hex.size(); ++l_i) {
    // Only ASCII may pass: the converter sees bytes.
    if (in_l_hex[l_i] <= 0 || in_l_hex[l_i] > 0x7F) return false;
    l_text[l_i] = static_cast<char>(in_l_hex[l_i]);
  }
  DigestInfo l_bytes{};
  if (FormatConverter::HexBinConv(l_text.data(), l_bytes.data()) != static_cast<std::int32_t>(kDigestInfoSize) ||
      !std::equal(kSha256Header.begin(), kSha256Header.end(), l_bytes.begin())) {
    return false;
  }
  *out_l_digest_info = l_bytes;
  return true;
}

}  // namespace tavc
