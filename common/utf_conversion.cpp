#include "common/utf_conversion.h"

#include "common/secure_wipe.h"

namespace tavc {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(std::uint8_t in_l_byte) { return (in_l_byte & 0xC0U) == 0x80U; }

void AppendUtf16(char32_t in_l_cp, std::wstring& out_l_text) {
  if (in_l_cp < 0x10000) {
    out_l_text.push_back(static_cast<wchar_t>(in_l_cp));
    return;
  }
  const char32_t l_v = in_l_cp - 0x10000;
  out_l_text.push_back(static_cast<wchar_t>(0xD800 + (l_v >> 10)));
  out_l_text.push_back(static_cast<wchar_t>(0xDC00 + (l_v & 0x3FF)));
}

void AppendUtf8(char32_t in_l_cp, std::string& out_l_text) {
  auto l_put = [&out_l_text](char32_t in_l_b) { out_l_text.push_back(static_cast<char>(in_l_b)); };
  if (in_l_cp < 0x80) {
    l_put(in_l_cp);
  } else if (in_l_cp < 0x800) {
    l_put(0xC0 | (in_l_cp >> 6));
    l_put(0x80 | (in_l_cp & 0x3F));
  } else if (in_l_cp < 0x10000) {
    l_put(0xE0 | (in_l_cp >> 12));
    l_put(0x80 | ((in_l_cp >> 6) & 0x3F));
    l_put(0x80 | (in_l_cp & 0x3F));
  } else {
    l_put(0xF0 | (in_l_cp >> 18));
    l_put(0x80 | ((in_l_cp >> 12) & 0x3F));
    l_put(0x80 | ((in_l_cp >> 6) & 0x3F));
    l_put(0x80 | (in_l_cp & 0x3F));
  }
}

}  // namespace

std::wstring Utf8ToUtf16(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  std::wstring l_out;
  if (in_l_data == nullptr) return l_out;
  // Never grows: a UTF-8 byte gives at most one UTF-16 unit.
  l_out.reserve(in_l_size);
  // The text may hold a password: what was converted before an invalid byte is wiped.
  const auto l_invalid = [&l_out] {
    SecureWipe(l_out);
    return std::wstring();
  };
  std::size_t l_i = 0;
  while (l_i < in_l_size) {
    const std::uint8_t l_lead = in_l_data[l_i];
    std::size_t l_extra = 0;
    char32_t l_cp = 0;
    char32_t l_min = 0;
    if (l_lead < 0x80) {
      l_cp = l_lead;
    } else if ((l_lead & 0xE0U) == 0xC0U) {
      l_extra = 1, l_cp = l_lead & 0x1FU, l_min = 0x80;
    } else if ((l_lead & 0xF0U) == 0xE0U) {
      l_extra = 2, l_cp = l_lead & 0x0FU, l_min = 0x800;
    } else if ((l_lead & 0xF8U) == 0xF0U) {
      l_extra = 3, l_cp = l_lead & 0x07U, l_min = 0x10000;
    } else {
      return l_invalid();
    }
    if (l_extra > in_l_size - l_i - 1) return l_invalid();
    for (std::size_t l_k = 1; l_k <= l_extra; ++l_k) {
      const std::uint8_t l_b = in_l_data[l_i + l_k];
      if (!IsContinuation(l_b)) return l_invalid();
      l_cp = (l_cp << 6) | (l_b & 0x3FU);
    }
    if (l_cp < l_min || l_cp > 0x10FFFF || (l_cp >= 0xD800 && l_cp <= 0xDFFF)) return l_invalid();
    AppendUtf16(l_cp, l_out);
    l_i += l_extra + 1;
  }
  return l_out;
}

std::wstring Utf8ToUtf16(std::string_view in_l_text) {
  return Utf8ToUtf16(reinterpret_cast<const std::uint8_t*>(in_l_text.data()), in_l_text.size());
}

namespace {

// Room for the UTF-8 of the text: exact but for a pair of surrogates, which
// takes 4 bytes of the 6 counted.
std::size_t Utf8Room(std::wstring_view in_l_text) {
  std::size_t l_size = 0;
  for (const wchar_t l_c : in_l_text) {
    const auto l_unit = static_cast<char32_t>(l_c) & 0xFFFFU;
    l_size += l_unit < 0x80 ? 1 : l_unit < 0x800 ? 2 : 3;
  }
  return l_size;
}

}  // namespace

std::string Utf16ToUtf8(std::wstring_view in_l_text) {
  std::string l_out;
  // Sized once: the text may hold a password,
  // and a buffer that grows leaves a copy of its beginning in freed memory.
  l_out.reserve(Utf8Room(in_l_text));
  for (std::size_t l_i = 0; l_i < in_l_text.size(); ++l_i) {
    const auto l_unit = static_cast<char32_t>(in_l_text[l_i]) & 0xFFFFU;
    char32_t l_cp = l_unit;
    if (l_unit >= 0xD800 && l_unit <= 0xDBFF && l_i + 1 < in_l_text.size()) {
      const auto l_next = static_cast<char32_t>(in_l_text[l_i + 1]) & 0xFFFFU;
      if (l_next >= 0xDC00 && l_next <= 0xDFFF) {
        l_cp = 0x10000 + ((l_unit - 0xD800) << 10) + (l_next - 0xDC00);
        ++l_i;
      }
    }
    if (l_cp >= 0xD800 && l_cp <= 0xDFFF) l_cp = kReplacement;
    AppendUtf8(l_cp, l_out);
  }
  return l_out;
}

}  // namespace tavc
