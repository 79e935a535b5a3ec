#pragma once
// Where a dialog template keeps its font size, so that a screen can be laid
// out again in a smaller font: an extended template (DIALOGEX) with a font
// (DS_SETFONT) holds the size in points, a 16-bit little-endian word, after
// its menu, class and title. Read from the resource's bytes, every length
// bounded by them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavc {

// The offset of the point size; none for a template of another form or without a font.
std::optional<std::size_t> TemplatePointSizeOffset(const std::vector<std::uint8_t>& in_l_template);

}  // namespace tavc
