#include "common/json_escape.h"

namespace tavc {

std::wstring JsonEscape(std::wstring_view in_l_value) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring l_out;
  l_out.reserve(in_l_value.size());
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
