#include "host/screens/dialog_template_font.h"

namespace tavc {
namespace {

constexpr std::size_t kHeaderSize = 26;  // DLGTEMPLATEEX up to its menu
constexpr std::size_t kStyleOffset = 12;
constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT

std::optional<std::uint16_t> WordAt(const std::vector<std::uint8_t>& in_l_bytes, std::size_t in_l_offset) {
  if (in_l_offset > in_l_bytes.size() || in_l_bytes.size() - in_l_offset < 2) return std::nullopt;
  return static_cast<std::uint16_t>(in_l_bytes[in_l_offset] | (in_l_bytes[in_l_offset + 1] << 8));
}

// Past a field that is empty (0), an ordinal (0xFFFF and a word) or a text ending in 0.
std::optional<std::size_t> SkipNameOrOrdinal(const std::vector<std::uint8_t>& in_l_bytes, std::size_t in_l_offset) {
  std::optional<std::uint16_t> l_word = WordAt(in_l_bytes, in_l_offset);
  if (!l_word) return std::nullopt;
  if (*l_word == 0xFFFF) return WordAt(in_l_bytes, in_l_offset + 2) ? std::optional(in_l_offset + 4) : std::nullopt;
  while (*l_word != 0) {
    in_l_offset += 2;
    l_word = WordAt(in_l_bytes, in_l_offset);
    if (!l_word) return std::nullopt;
  }
  return in_l_offset + 2;
}

}  // namespace

std::optional<std::size_t> TemplatePointSizeOffset(const std::vector<std::uint8_t>& in_l_template) {
  if (in_l_template.size() < kHeaderSize || WordAt(in_l_template, 0) != 1 || WordAt(in_l_template, 2) != 0xFFFF) {
    return std::nullopt;
  }
  const std::uint32_t l_style = *WordAt(in_l_template, kStyleOffset) |
                                (static_cast<std::uint32_t>(*WordAt(in_l_template, kStyleOffset + 2)) << 16);
  if ((l_style & kSetFont) == 0) return std::nullopt;
  std::optional<std::size_t> l_offset = kHeaderSize;
  for (int l_field = 0; l_field < 3 && l_offset; ++l_field) l_offset = SkipNameOrOrdinal(in_l_template, *l_offset);
  if (!l_offset || !WordAt(in_l_template, *l_offset)) return std::nullopt;
  return l_offset;
}

}  // namespace tavc
