#include "host/card/combination_code.h"

#include <algorithm>

#include "common/hex_codec.h"
#include "platform/sha256.h"

namespace tavc {
namespace {

// Changing the salt changes every combination code the services have stored.
constexpr std::array<std::uint8_t, 16> kCombinationCodeSalt{0x54, 0x61, 0x76, 0x6F, 0x72, 0x69, 0x2D, 0x63,
                                                            0x63, 0x9E, 0x41, 0x07, 0xD2, 0x5B, 0x18, 0xC6};

}  // namespace

bool ComputeCombinationCode(const std::array<std::uint8_t, 13>& in_l_manufacture_number,
                            const std::array<std::uint8_t, 16>& in_l_uuid, std::wstring* out_l_code,
                            std::uint32_t* out_l_error) {
  std::array<std::uint8_t, 16 + 13 + 16> l_input{};
  auto l_at = std::copy(kCombinationCodeSalt.begin(), kCombinationCodeSalt.end(), l_input.begin());
  l_at = std::copy(in_l_manufacture_number.begin(), in_l_manufacture_number.end(), l_at);
  std::copy(in_l_uuid.begin(), in_l_uuid.end(), l_at);
  platform::Sha256Digest l_hash{};
  if (!platform::ComputeSha256(l_input.data(), l_input.size(), &l_hash, out_l_error)) return false;
  *out_l_code = BytesToHex(l_hash.data(), l_hash.size(), HexCase::kLower);
  return true;
}

}  // namespace tavc
