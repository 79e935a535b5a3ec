#include "host/cert/x509/attribute_value_text.h"

#include "common/utf_conversion.h"
#include "host/cert/x509/der_primitives.h"

namespace tavc {
namespace x509 {

namespace {

constexpr wchar_t kReplacement = static_cast<wchar_t>(0xFFFD);

std::size_t Utf8SequenceLength(std::uint8_t in_l_lead) {
  if (in_l_lead < 0x80U) return 1;
  if (in_l_lead >= 0xC2U && in_l_lead <= 0xDFU) return 2;
  if (in_l_lead >= 0xE0U && in_l_lead <= 0xEFU) return 3;
  if (in_l_lead >= 0xF0U && in_l_lead <= 0xF4U) return 4;
  return 0;
}

std::wstring Utf8Lenient(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  std::wstring l_text = Utf8ToUtf16(in_l_data, in_l_size);
  if (!l_text.empty() || in_l_size == 0) return l_text;
  // The strict converter refuses the whole text; convert sequence by sequence.
  std::size_t l_pos = 0;
  while (l_pos < in_l_size) {
    const std::size_t l_want = Utf8SequenceLength(in_l_data[l_pos]);
    if (l_want != 0 && l_want <= in_l_size - l_pos) {
      const std::wstring l_piece = Utf8ToUtf16(in_l_data + l_pos, l_want);
      if (!l_piece.empty()) {
        l_text += l_piece;
        l_pos += l_want;
        continue;
      }
    }
    l_text += kReplacement;
    ++l_pos;
  }
  return l_text;
}

bool BmpToText(const std::uint8_t* in_l_data, std::size_t in_l_size, std::wstring& out_l_text) {
  if (in_l_size % 2 != 0) return false;
  std::wstring l_text;
  l_text.reserve(in_l_size / 2);
  for (std::size_t l_i = 0; l_i < in_l_size; l_i += 2) {
    const unsigned l_unit = (static_cast<unsigned>(in_l_data[l_i]) << 8) | in_l_data[l_i + 1];
    l_text += static_cast<wchar_t>(l_unit);
  }
  out_l_text = l_text;
  return true;
}

bool UniversalToText(const std::uint8_t* in_l_data, std::size_t in_l_size,
                     std::wstring& out_l_text) {
  if (in_l_size % 4 != 0) return false;
  std::wstring l_text;
  for (std::size_t l_i = 0; l_i < in_l_size; l_i += 4) {
    const std::uint32_t l_code = (static_cast<std::uint32_t>(in_l_data[l_i]) << 24) |
                                 (static_cast<std::uint32_t>(in_l_data[l_i + 1]) << 16) |
                                 (static_cast<std::uint32_t>(in_l_data[l_i + 2]) << 8) |
                                 in_l_data[l_i + 3];
    if (l_code > 0x10FFFFU || (l_code >= 0xD800U && l_code <= 0xDFFFU)) return false;
    if (l_code < 0x10000U) {
      l_text += static_cast<wchar_t>(l_code);
    } else {
      const std::uint32_t l_offset = l_code - 0x10000U;
      l_text += static_cast<wchar_t>(0xD800U + (l_offset >> 10));
      l_text += static_cast<wchar_t>(0xDC00U + (l_offset & 0x3FFU));
    }
  }
  out_l_text = l_text;
  return true;
}

}  // namespace

bool IsStringTag(std::uint8_t in_l_tag) {
  switch (in_l_tag) {
    case der_tag::kUtf8String:
    case der_tag::kNumericString:
    case der_tag::kPrintableString:
    case der_tag::kTeletexString:
    case der_tag::kVideotexString:
    case der_tag::kIa5String:
    case der_tag::kGraphicString:
    case der_tag::kVisibleString:
    case der_tag::kGeneralString:
    case der_tag::kUniversalString:
    case der_tag::kBmpString:
      return true;
    default:
      return false;
  }
}

bool RenderAttributeValue(std::uint8_t in_l_tag, const std::uint8_t* in_l_data,
                          std::size_t in_l_size, std::wstring& out_l_text) {
  if (!IsStringTag(in_l_tag) || (in_l_data == nullptr && in_l_size != 0)) return false;
  switch (in_l_tag) {
    case der_tag::kUtf8String:
      out_l_text = Utf8Lenient(in_l_data, in_l_size);
      return true;
    case der_tag::kBmpString:
      return BmpToText(in_l_data, in_l_size, out_l_text);
    case der_tag::kUniversalString:
      return UniversalToText(in_l_data, in_l_size, out_l_text);
    default: {
      std::wstring l_text;
      l_text.reserve(in_l_size);
      for (std::size_t l_i = 0; l_i < in_l_size; ++l_i) l_text += static_cast<wchar_t>(in_l_data[l_i]);
      out_l_text = l_text;
      return true;
    }
  }
}

}  // namespace x509
}  // namespace tavc
