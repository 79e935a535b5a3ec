#include "host/screens/display_text.h"

namespace tavc {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;
constexpr wchar_t kEllipsis = 0x2026;

bool IsDirectionMark(wchar_t in_l_unit) {
  return in_l_unit == 0x200E || in_l_unit == 0x200F || in_l_unit == 0x061C || (in_l_unit >= 0x202A && in_l_unit <= 0x202E) ||
         (in_l_unit >= 0x2066 && in_l_unit <= 0x2069);
}

bool IsControl(wchar_t in_l_unit) { return in_l_unit < 0x20 || (in_l_unit >= 0x7F && in_l_unit < 0xA0); }

}  // namespace

std::wstring DisplayText(const std::wstring& in_l_text, bool in_l_multi_line, std::size_t in_l_limit) {
  std::wstring l_out;
  const std::size_t l_count = in_l_text.size() > in_l_limit ? in_l_limit : in_l_text.size();
  l_out.reserve(l_count + 1);
  for (std::size_t l_i = 0; l_i < l_count; ++l_i) {
    const wchar_t l_unit = in_l_text[l_i];
    if (in_l_multi_line && (l_unit == L'\r' || l_unit == L'\n')) {
      // The edit control breaks lines at CR LF only: a lone CR or LF becomes one.
      if (l_unit == L'\r' && l_i + 1 < l_count && in_l_text[l_i + 1] == L'\n') ++l_i;
      l_out += L"\r\n";
      continue;
    }
    l_out.push_back(IsControl(l_unit) || IsDirectionMark(l_unit) ? kReplacement : l_unit);
  }
  // A text cut at the limit says so, and never ends on half a surrogate pair.
  if (l_count < in_l_text.size()) {
    if (!l_out.empty() && l_out.back() >= 0xD800 && l_out.back() <= 0xDBFF) l_out.pop_back();
    l_out.push_back(kEllipsis);
  }
  return l_out;
}

}  // namespace tavc
