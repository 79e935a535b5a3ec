#pragma once
// Base64 text <-> bytes, portable and alike on every platform.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavc {

// Decodes as CryptStringToBinary with CRYPT_STRING_BASE64 does: space, tab, CR and
// LF are skipped; padding may only close the text; any other character, a lone
// sixth bit group or text after the padding fails. Empty text gives no bytes.
bool DecodeBase64(std::wstring_view in_l_text, std::vector<std::uint8_t>& out_l_bytes);

// One unbroken line of standard Base64 with padding.
std::wstring EncodeBase64(const std::uint8_t* in_l_data, std::size_t in_l_size);

}  // namespace tavc
