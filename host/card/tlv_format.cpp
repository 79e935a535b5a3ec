#include "host/card/tlv_format.h"

namespace tavc {

bool GetTlvFormatHeader(const std::uint8_t* in_l_data, std::size_t in_l_size, std::size_t in_l_offset,
                        TlvFormat* out_l_tlv) {
  if (in_l_data == nullptr || out_l_tlv == nullptr || in_l_offset >= in_l_size || in_l_size - in_l_offset < 3) {
    return false;
  }
  const std::uint8_t* l_tlv = in_l_data + in_l_offset;
  const std::size_t l_available = in_l_size - in_l_offset;
  if (l_tlv[2] < 0x80) {
    *out_l_tlv = TlvFormat{3, l_tlv[2]};
    return true;
  }
  if (l_tlv[2] == 0x81 && l_available >= 4) {
    *out_l_tlv = TlvFormat{4, l_tlv[3]};
    return true;
  }
  if (l_tlv[2] == 0x82 && l_available >= 5) {
    *out_l_tlv = TlvFormat{5, static_cast<std::size_t>(l_tlv[3]) * 256U + l_tlv[4]};
    return true;
  }
  return false;
}

bool GetTlvFormat(const std::uint8_t* in_l_data, std::size_t in_l_size, std::size_t in_l_offset,
                  TlvFormat* out_l_tlv) {
  return GetTlvFormatHeader(in_l_data, in_l_size, in_l_offset, out_l_tlv) &&
         out_l_tlv->value_length <= in_l_size - in_l_offset - out_l_tlv->header_length;
}

}  // namespace tavc
