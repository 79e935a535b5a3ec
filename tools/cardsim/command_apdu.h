#pragma once
// A short command APDU (ISO 7816-3 cases 1 to 4) taken apart. Extended lengths
// are not used by any host of these cards and are refused.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavc::cardsim {

struct CommandApdu {
  std::uint8_t m_cla_ = 0;
  std::uint8_t m_ins_ = 0;
  std::uint8_t m_p1_ = 0;
  std::uint8_t m_p2_ = 0;
  std::vector<std::uint8_t> m_data_;
  bool m_has_le_ = false;
  std::size_t m_le_ = 0;  // 1..256 when m_has_le_ (a coded 00 means 256)
};

// 0 on success; 1 when the bytes are no well-formed short APDU (the card then
// answers 67 00).
int ParseCommandApdu(const std::vector<std::uint8_t>& in_l_bytes, CommandApdu& out_l_apdu);

}  // namespace tavc::cardsim
