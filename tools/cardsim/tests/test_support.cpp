#include "tools/cardsim/tests/test_support.h"

#include <cstdio>

namespace tavc::cardsim::test {

std::vector<std::uint8_t> Hex(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_bytes;
  std::string l_digits;
  for (char l_char : in_l_text) {
    if (l_char != ' ') l_digits.push_back(l_char);
  }
  for (std::size_t l_i = 0; l_i + 1 < l_digits.size(); l_i += 2) {
    l_bytes.push_back(static_cast<std::uint8_t>(std::stoul(l_digits.substr(l_i, 2), nullptr, 16)));
  }
  return l_bytes;
}

std::string ToHex(const std::vector<std::uint8_t>& in_l_bytes) {
  std::string l_text;
  char l_pair[3];
  for (std::uint8_t l_byte : in_l_bytes) {
    std::snprintf(l_pair, sizeof l_pair, "%02X", l_byte);
    l_text += l_pair;
  }
  return l_text;
}

unsigned Sw(const std::vector<std::uint8_t>& in_l_response) {
  if (in_l_response.size() < 2) return 0;
  return (static_cast<unsigned>(in_l_response[in_l_response.size() - 2]) << 8) |
         in_l_response.back();
}

std::vector<std::uint8_t> Data(const std::vector<std::uint8_t>& in_l_response) {
  if (in_l_response.size() < 2) return {};
  return std::vector<std::uint8_t>(in_l_response.begin(), in_l_response.end() - 2);
}

}  // namespace tavc::cardsim::test
