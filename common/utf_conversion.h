#pragma once
// Strict UTF-8 <-> UTF-16 conversion shared by both programs. Wide strings hold
// UTF-16 code units on every platform, even where wchar_t is wider.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavc {

// Invalid UTF-8 (overlong forms, surrogates, values above U+10FFFF, truncated
// sequences) yields the empty string, as MB_ERR_INVALID_CHARS does.
std::wstring Utf8ToUtf16(const std::uint8_t* in_l_data, std::size_t in_l_size);
std::wstring Utf8ToUtf16(std::string_view in_l_text);

// A lone surrogate becomes U+FFFD, as WideCharToMultiByte does without flags, so
// the result is always valid UTF-8.
std::string Utf16ToUtf8(std::wstring_view in_l_text);

}  // namespace tavc
