#pragma once
// Conversions between bytes and text shared by the card layers, the certificate
// classes and the response writer. They work on caller buffers and never allocate.
#include <cstdint>
#include <string>

namespace tavc {

class FormatConverter {
 public:
  // Lower-case hexadecimal, two characters a byte, no terminating NUL; the caller
  // provides at least 2 * length + 1 zero-filled characters.
  static void BinHexConv(const std::uint8_t* in_l_data, std::int32_t in_l_length, char* out_l_data);
  // Reads a NUL-terminated hexadecimal text (either case) into bytes and returns
  // their number. Text of odd length or with a non-hexadecimal character writes
  // nothing and returns -1. The caller provides length / 2 bytes.
  static std::int32_t HexBinConv(const char* in_l_data, std::uint8_t* out_l_data);
  // The low 8 bits of each code unit, then a NUL byte (only for ASCII texts).
  static void CStringToLPBYTE(std::wstring in_l_data, std::uint8_t* out_l_data);
};

}  // namespace tavc
