#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavc {

// Bytes as lower-case hexadecimal text, two characters a byte.
std::wstring HexText(const std::uint8_t* in_l_data, std::size_t in_l_size);

}  // namespace tavc
