#pragma once
// The DER DigestInfo (SHA-256 with its algorithm identifier) that the cards sign
// unchanged, and the RSA-2048 signature they answer with.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavc {

inline constexpr std::size_t kDigestInfoSize = 51;
inline constexpr std::size_t kSignatureSize = 256;

using DigestInfo = std::array<std::uint8_t, kDigestInfoSize>;

// A SHA-256 DigestInfo of the request, 102 hexadecimal characters, as bytes;
// false for any other length, a character that is not a hexadecimal digit, or
// bytes that do not start with the SHA-256 DigestInfo header: a signing key
// must never sign text a page chose.
bool DigestInfoFromHex(const std::wstring& in_l_hex, DigestInfo* out_l_digest_info);

}  // namespace tavc
