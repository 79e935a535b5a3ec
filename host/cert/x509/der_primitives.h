#pragma once
// Values of the universal DER types that certificates use: object identifiers,
// booleans, small integers, bit strings. Each checks the encoding rules that
// matter for reading the value safely and fails on anything else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/x509/der_reader.h"

namespace tavc {
namespace x509 {

namespace der_tag {
constexpr std::uint8_t kBoolean = 0x01;
constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kBitString = 0x03;
constexpr std::uint8_t kOctetString = 0x04;
constexpr std::uint8_t kNull = 0x05;
constexpr std::uint8_t kOid = 0x06;
constexpr std::uint8_t kUtf8String = 0x0C;
constexpr std::uint8_t kNumericString = 0x12;
constexpr std::uint8_t kPrintableString = 0x13;
constexpr std::uint8_t kTeletexString = 0x14;
constexpr std::uint8_t kVideotexString = 0x15;
constexpr std::uint8_t kIa5String = 0x16;
constexpr std::uint8_t kUtcTime = 0x17;
constexpr std::uint8_t kGeneralizedTime = 0x18;
constexpr std::uint8_t kGraphicString = 0x19;
constexpr std::uint8_t kVisibleString = 0x1A;
constexpr std::uint8_t kGeneralString = 0x1B;
constexpr std::uint8_t kUniversalString = 0x1C;
constexpr std::uint8_t kBmpString = 0x1E;
constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kSet = 0x31;
// Context-specific identifiers: [n] primitive and [n] constructed.
constexpr std::uint8_t ContextPrimitive(unsigned in_l_number) {
  return static_cast<std::uint8_t>(0x80U | in_l_number);
}
constexpr std::uint8_t ContextConstructed(unsigned in_l_number) {
  return static_cast<std::uint8_t>(0xA0U | in_l_number);
}
}  // namespace der_tag

// Object identifier contents to dotted text ("1.2.840.113549.1.1.11"). Fails on
// an empty value, a truncated or non-minimal arc, or an arc beyond 64 bits.
bool OidToText(const std::uint8_t* in_l_data, std::size_t in_l_size, std::string& out_l_text);

// Reads an OBJECT IDENTIFIER element as dotted text.
bool ReadOid(DerReader& io_l_reader, std::string& out_l_text);

// Reads a BOOLEAN (one value byte; any non-zero byte is true, as BER allows).
bool ReadBoolean(DerReader& io_l_reader, bool& out_l_value);

// INTEGER contents as a non-negative number of at most 32 bits.
bool IntegerToUnsigned(const DerElement& in_l_element, std::uint32_t& out_l_value);

// BIT STRING contents: the count of unused bits in the last byte (0 to 7, and 0
// when there are no bytes) and the bytes that carry the bits.
bool SplitBitString(const DerElement& in_l_element, unsigned& out_l_unused_bits,
                    std::vector<std::uint8_t>& out_l_bytes);

std::vector<std::uint8_t> ValueBytes(const DerElement& in_l_element);
std::vector<std::uint8_t> EncodedBytes(const DerElement& in_l_element);

}  // namespace x509
}  // namespace tavc
