#include "common/json_escape.h"

namespace tavc {

namespace {

std::size_t EscapedSize(std::wstring_view in_l_value) {
  std::size_t l_size = 0;
  for (const wchar_t l_c : in_l_value) {
    const bool l_short = l_c == L'"' || l_c == L'\\' || l_c == L'\n' || l_c == L'\r' || l_c == L'\t';
    l_size += l_short ? 2 : static_cast<unsigned>(l_c) < 0x20U ? 6 : 1;
  }
  return l_size;
}

}  // namespace

std::wstring JsonEscape(std::wstring_view in_l_value) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring l_out;
  // Sized once: the value may be a password, and a buffer that grows leaves a
  // copy of its beginning in freed memory.
  l_out.reserve(EscapedSize(in_l_value));
  for (const wchar_t l_c : in_l_value) {
    switch (l_c) {
      case L'"': l_out += L"\\\""; break;
      case L'\\': l_out += L"\\\\"; break;
      case L'\n': l_out += L"\\n"; break;
      case L'\r': l_out += L"\\r"; break;
      case L'\t': l_out += L"\\t"; break;
      default:
        if (static_cast<unsigned>(l_c) < 0x20U) {
          l_out += L"\\u00";
          l_out.push_back(kHex[(static_cast<unsigned>(l_c) >> 4) & 0xFU]);
          l_out.push_back(kHex[static_cast<unsigned>(l_c) & 0xFU]);
        } else {
          l_out.push_back(l_c);
        }
    }
  }
  return l_out;
}

}  // namespace tavc
