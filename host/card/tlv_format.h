#pragma once
// The TLVs of the card: a two-byte tag, then a length byte, or 0x81 and one or
// 0x82 and two (big-endian) length bytes. Nothing is read outside the buffer.
#include <cstddef>
#include <cstdint>

namespace tavc {

struct TlvFormat {
  std::size_t header_length = 0;  // tag and length bytes
  std::size_t value_length = 0;
};

// Reads the header of the TLV at in_l_offset; false when the header does not lie
// inside the in_l_size bytes or its length form is not one of the three above.
bool GetTlvFormatHeader(const std::uint8_t* in_l_data, std::size_t in_l_size, std::size_t in_l_offset,
                        TlvFormat* out_l_tlv);
// As GetTlvFormatHeader, and the value must lie inside the buffer too.
bool GetTlvFormat(const std::uint8_t* in_l_data, std::size_t in_l_size, std::size_t in_l_offset,
                  TlvFormat* out_l_tlv);

}  // namespace tavc
