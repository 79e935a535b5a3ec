#pragma once
// The combination code ties a card to this installation without revealing the
// card's manufacture number: SHA-256 over salt, manufacture number and the
// installation's uuid.
#include <array>
#include <cstdint>
#include <string>

namespace tavc {

// The 64 lower-case hexadecimal characters of SHA-256(salt 16 || manufacture
// number 13 || uuid 16). False when hashing fails; out_l_error then holds the
// system's error number.
bool ComputeCombinationCode(const std::array<std::uint8_t, 13>& in_l_manufacture_number,
                            const std::array<std::uint8_t, 16>& in_l_uuid, std::wstring* out_l_code,
                            std::uint32_t* out_l_error);

}  // namespace tavc
