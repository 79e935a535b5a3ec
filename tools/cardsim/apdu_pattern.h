#pragma once
// Matches the first bytes of a command APDU; "??" stands for any byte.
// Written as hexadecimal text, spaces allowed: "?? 2A" matches every signing
// command, "00 B0 00 FA" a READ BINARY at offset 250.
#include <cstdint>
#include <string>
#include <vector>

namespace tavc::cardsim {

class ApduPattern {
 public:
  ApduPattern() = default;
  // 0 success; 1 when the text holds anything but hexadecimal pairs, "??" and spaces.
  static int Parse(const std::string& in_l_text, ApduPattern& out_l_pattern);
  // Any command with this instruction byte.
  static ApduPattern Instruction(std::uint8_t in_l_ins);
  // Commands that start with these bytes.
  static ApduPattern Prefix(const std::vector<std::uint8_t>& in_l_bytes);

  bool Matches(const std::vector<std::uint8_t>& in_l_apdu) const;
  bool IsEmpty() const { return m_bytes_.empty(); }

 private:
  std::vector<std::uint8_t> m_bytes_;
  std::vector<bool> m_wildcard_;
};

}  // namespace tavc::cardsim
