#pragma once
// Hexadecimal text of certificate bytes, in the wide text the certificate
// fields hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavc {

enum class HexCase { kLower, kUpper };

// Two digits a byte, no separators.
std::wstring BytesToHex(const std::uint8_t* in_l_data, std::size_t in_l_size, HexCase in_l_case);

// Digits of either case, two a byte, nothing else. Odd length or any other
// character fails and leaves the output unchanged.
bool HexToBytes(std::wstring_view in_l_text, std::vector<std::uint8_t>& out_l_bytes);

}  // namespace tavc
