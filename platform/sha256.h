#pragma once
// SHA-256 from the system's cryptography: CryptoAPI on Windows, OpenSSL elsewhere.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tavc::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

// False when a step of the hashing service fails; out_l_error then holds its
// error number (GetLastError on Windows, the library's error code elsewhere).
bool ComputeSha256(const std::uint8_t* in_l_data, std::size_t in_l_size, Sha256Digest* out_l_digest,
                   std::uint32_t* out_l_error);

}  // namespace tavc::platform
