// Where a dialog template keeps its font size: found through names of any
// form, and never past the template's end.
#include "host/screens/dialog_template_font.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tavc {
namespace {

constexpr std::uint32_t kSetFont = 0x40;

void Word(std::vector<std::uint8_t>& io_l_bytes, std::uint16_t in_l_word) {
  io_l_bytes.push_back(static_cast<std::uint8_t>(in_l_word & 0xFF));
  io_l_bytes.push_back(static_cast<std::uint8_t>(in_l_word >> 8));
}

// An extended template's header (style, no controls) and its menu, class and
// title, each given as its words.
std::vector<std::uint8_t> Template(std::uint32_t in_l_style,
                                   std::initializer_list<std::initializer_list<std::uint16_t>> in_l_names) {
  std::vector<std::uint8_t> l_bytes;
  Word(l_bytes, 1);
  Word(l_bytes, 0xFFFF);
  for (int l_i = 0; l_i < 4; ++l_i) Word(l_bytes, 0);  // help ID, extended style
  Word(l_bytes, static_cast<std::uint16_t>(in_l_style & 0xFFFF));
  Word(l_bytes, static_cast<std::uint16_t>(in_l_style >> 16));
  for (int l_i = 0; l_i < 5; ++l_i) Word(l_bytes, 0);  // controls, x, y, cx, cy
  for (const auto& l_name : in_l_names) {
    for (const std::uint16_t l_word : l_name) Word(l_bytes, l_word);
  }
  return l_bytes;
}

TEST(DialogTemplateFont, ThePointSizeFollowsMenuClassAndTitleOfAnyForm) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::size_t offset;
  };
  const Case l_cases[] = {
      {"all three empty", Template(kSetFont, {{0}, {0}, {0}, {16}}), 32},
      {"a menu by number, a class by name, a title", Template(kSetFont, {{0xFFFF, 7}, {'A', 'b', 0}, {'T', 0}, {16}}),
       26 + 4 + 6 + 4},
  };
  for (const Case& l_case : l_cases) {
    EXPECT_EQ(l_case.offset, TemplatePointSizeOffset(l_case.bytes)) << l_case.what;
  }
}

TEST(DialogTemplateFont, NoneWithoutAFontOrInAnotherFormOrCutShort) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<std::uint8_t> l_old_form = Template(kSetFont, {{0}, {0}, {0}, {16}});
  l_old_form[2] = 0;  // a plain DLGTEMPLATE starts with its style
  const Case l_cases[] = {
      {"no font in the style", Template(0, {{0}, {0}, {0}, {16}})},
      {"a plain template", l_old_form},
      {"shorter than the header", std::vector<std::uint8_t>(20, 0)},
      {"no room for the size", Template(kSetFont, {{0}, {0}, {0}})},
      {"a title without its end", Template(kSetFont, {{0}, {0}, {'T', 'i'}})},
      {"an ordinal without its number", Template(kSetFont, {{0xFFFF}})},
  };
  for (const Case& l_case : l_cases) {
    EXPECT_FALSE(TemplatePointSizeOffset(l_case.bytes).has_value()) << l_case.what;
  }
}

}  // namespace
}  // namespace tavc
