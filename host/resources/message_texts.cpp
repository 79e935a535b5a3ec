#include "host/resources/message_texts.h"

#include <atomic>

#include "host/resources/tav_sites.h"

namespace tavc {
namespace {

struct Text {
  std::uint32_t id;
  const char16_t* text;
};

#define TAV_TEXT(id, text) {id, u"" text},
constexpr Text kJapanese[] = {
#include "host/resources/message_texts_ja.inc"
};
constexpr Text kEnglish[] = {
#include "host/resources/message_texts_en.inc"
};
#undef TAV_TEXT

std::atomic<bool> g_english{false};

template <std::size_t N>
const char16_t* Find(const Text (&in_l_table)[N], std::uint32_t in_l_id) {
  for (const Text& l_row : in_l_table) {
    if (l_row.id == in_l_id) return l_row.text;
  }
  return nullptr;
}

std::wstring Widened(const char16_t* in_l_text) {
  std::wstring l_out;
  for (; in_l_text != nullptr && *in_l_text != u'\0'; ++in_l_text) l_out.push_back(static_cast<wchar_t>(*in_l_text));
  return l_out;
}

}  // namespace

void SetMessageLanguage(const std::wstring& in_l_language) { g_english = in_l_language == L"en"; }

std::wstring LoadMessageText(std::uint32_t in_l_id) {
  const char16_t* l_text = g_english ? Find(kEnglish, in_l_id) : nullptr;
  return Widened(l_text != nullptr ? l_text : Find(kJapanese, in_l_id));
}

std::wstring LoadJapaneseText(std::uint32_t in_l_id) { return Widened(Find(kJapanese, in_l_id)); }

}  // namespace tavc
