// UTF-8/UTF-16 conversion, JSON escaping and message templates.
#include <gtest/gtest.h>

#include "common/json_escape.h"
#include "common/template_format.h"
#include "common/utf_conversion.h"

namespace tavc {
namespace {

TEST(Utf8ToUtf16, ConvertsEveryLengthOfSequence) {
  const std::wstring l_expected = {L'A', static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0x3042),
                                   static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(l_expected, Utf8ToUtf16("A\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"));
  EXPECT_EQ(std::wstring(1, L'\0'), Utf8ToUtf16(std::string_view("\0", 1)));
}

TEST(Utf8ToUtf16, RejectsInvalidInputWhole) {
  for (const char* l_bad : {"\x80", "a\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xF8\x88\x80\x80\x80", "\xE3\x81", "\xE3\x41\x82", "\xFF"}) {
    EXPECT_EQ(L"", Utf8ToUtf16(l_bad)) << l_bad;
  }
}

TEST(Utf16ToUtf8, RoundTripsAndReplacesLoneSurrogates) {
  const std::string l_text = "A\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80";
  EXPECT_EQ(l_text, Utf16ToUtf8(Utf8ToUtf16(l_text)));
  const std::wstring l_lone = {static_cast<wchar_t>(0xD800), L'x', static_cast<wchar_t>(0xDC00)};
  EXPECT_EQ("\xEF\xBF\xBDx\xEF\xBF\xBD", Utf16ToUtf8(l_lone));
}

TEST(JsonEscape, EscapesQuoteBackslashAndControls) {
  EXPECT_EQ(L"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f/\u3042", JsonEscape(L"a\"b\\c\n\r\t\x01\x1f/\u3042"));
}

TEST(FormatTemplate, FillsInOrderAndNeverInterpretsMore) {
  EXPECT_EQ(L"code EW1 detail 0x1/0x2", FormatTemplate(L"code %s detail %s/%s", {L"EW1", L"0x1", L"0x2", L""}));
  EXPECT_EQ(L"1 of 3, 100%", FormatTemplate(L"%d of %u, 100%%", {L"1", L"3"}));
  EXPECT_EQ(L"[] %x %", FormatTemplate(L"[%s] %x %", {}));
  EXPECT_EQ(L"%s", FormatTemplate(L"%s", {L"%s"}));
}

}  // namespace
}  // namespace tavc
