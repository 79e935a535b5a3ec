#pragma once
// Text of a directory-string value, as CertRDNValueToStrW gives it: the 8-bit
// string types (PrintableString, IA5String, NumericString, TeletexString and
// the other legacy ones) map each byte to the code unit of the same number
// (TeletexString is read as Latin-1, as CryptoAPI does without its T.61 flag);
// UTF8String is decoded to UTF-16, with U+FFFD for each malformed byte as
// MultiByteToWideChar gives without flags; BMPString is big-endian UTF-16;
// UniversalString is UTF-32BE turned into UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavc {
namespace x509 {

// True for the universal string types that render to text.
bool IsStringTag(std::uint8_t in_l_tag);

// Fails for a tag that is not a string type and for contents that its type
// cannot hold (an odd-length BMPString, a UniversalString that is not a whole
// number of valid code points); the output is left unchanged then.
bool RenderAttributeValue(std::uint8_t in_l_tag, const std::uint8_t* in_l_data,
                          std::size_t in_l_size, std::wstring& out_l_text);

}  // namespace x509
}  // namespace tavc
