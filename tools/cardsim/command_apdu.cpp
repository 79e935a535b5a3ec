#include "tools/cardsim/command_apdu.h"

namespace tavc::cardsim {

int ParseCommandApdu(const std::vector<std::uint8_t>& in_l_bytes, CommandApdu& out_l_apdu) {
  out_l_apdu = CommandApdu{};
  const std::size_t l_size = in_l_bytes.size();
  if (l_size < 4) return 1;
  out_l_apdu.m_cla_ = in_l_bytes[0];
  out_l_apdu.m_ins_ = in_l_bytes[1];
  out_l_apdu.m_p1_ = in_l_bytes[2];
  out_l_apdu.m_p2_ = in_l_bytes[3];
  if (l_size == 4) return 0;
  const std::size_t l_p3 = in_l_bytes[4];
  if (l_size == 5) {
    out_l_apdu.m_has_le_ = true;
    out_l_apdu.m_le_ = l_p3 == 0 ? 256 : l_p3;
    return 0;
  }
  // An Lc of 00 would announce extended lengths.
  if (l_p3 == 0) return 1;
  if (l_size != 5 + l_p3 && l_size != 6 + l_p3) return 1;
  out_l_apdu.m_data_.assign(in_l_bytes.begin() + 5,
                            in_l_bytes.begin() + static_cast<std::ptrdiff_t>(5 + l_p3));
  if (l_size == 6 + l_p3) {
    const std::size_t l_le = in_l_bytes[5 + l_p3];
    out_l_apdu.m_has_le_ = true;
    out_l_apdu.m_le_ = l_le == 0 ? 256 : l_le;
  }
  return 0;
}

}  // namespace tavc::cardsim
