#pragma once
#include <string>
#include <string_view>

namespace tavc {

// Escapes a value for a JSON string literal: quote, backslash and control
// characters. Everything else is copied unchanged.
std::wstring JsonEscape(std::wstring_view in_l_value);

}  // namespace tavc
