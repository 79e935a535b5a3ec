#pragma once
// Helpers shared by the cardsim tests: hexadecimal APDUs and status checks.
#include <cstdint>
#include <string>
#include <vector>

namespace tavc::cardsim::test {

// "00 A4 04 0C" -> bytes (spaces ignored; the text must be well formed).
std::vector<std::uint8_t> Hex(const std::string& in_l_text);
std::string ToHex(const std::vector<std::uint8_t>& in_l_bytes);
// The last two bytes as a number, e.g. 0x9000.
unsigned Sw(const std::vector<std::uint8_t>& in_l_response);
// The response without the status bytes.
std::vector<std::uint8_t> Data(const std::vector<std::uint8_t>& in_l_response);

}  // namespace tavc::cardsim::test
