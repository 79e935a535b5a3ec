#include "wrapper/wrapper_texts.h"

namespace {

struct Text {
  unsigned id;
  const char16_t* text;
};

#define WRAPPER_TEXT(id, text) {id, u"" text},
constexpr Text kTexts[] = {
#include "wrapper/wrapper_texts.inc"
};
#undef WRAPPER_TEXT

}  // namespace

std::wstring WrapperText(unsigned in_id) {
  for (const Text& l_row : kTexts) {
    if (l_row.id != in_id) continue;
    std::wstring l_text;
    for (const char16_t* l_c = l_row.text; *l_c != u'\0'; ++l_c) l_text.push_back(static_cast<wchar_t>(*l_c));
    return l_text;
  }
  return std::wstring();
}
