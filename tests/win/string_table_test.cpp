// The STRINGTABLE resources and the portable lookup are built from the same
// table files; these tests prove the resource compiler read them as the C++
// compiler did (UTF-8 to UTF-16, escapes), language by language.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/resources/message_texts.h"

namespace {

#define TAV_TEXT(id, text) id,
constexpr std::uint32_t kJapaneseIds[] = {
#include "host/resources/message_texts_ja.inc"
};
constexpr std::uint32_t kEnglishIds[] = {
#include "host/resources/message_texts_en.inc"
};
#undef TAV_TEXT

// One string of the exact language's table: strings are stored in blocks of 16,
// each a length (in UTF-16 units) followed by the units.
bool LoadStringOfLanguage(std::uint32_t in_l_id, WORD in_l_language, std::wstring& out_l_text) {
  const WORD l_block = static_cast<WORD>(in_l_id / 16 + 1);
  const HMODULE l_module = GetModuleHandleW(nullptr);
  const HRSRC l_resource = FindResourceExW(l_module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(l_block), in_l_language);
  if (l_resource == nullptr) return false;
  const HGLOBAL l_loaded = LoadResource(l_module, l_resource);
  const DWORD l_size = SizeofResource(l_module, l_resource);
  if (l_loaded == nullptr) return false;
  const auto* l_units = static_cast<const WCHAR*>(LockResource(l_loaded));
  const std::size_t l_count = l_size / sizeof(WCHAR);
  std::size_t l_pos = 0;
  for (std::uint32_t l_index = 0; l_index < in_l_id % 16; ++l_index) {
    if (l_pos >= l_count) return false;
    l_pos += 1 + l_units[l_pos];
  }
  if (l_pos >= l_count || l_pos + 1 + l_units[l_pos] > l_count) return false;
  out_l_text.assign(l_units + l_pos + 1, l_units[l_pos]);
  return true;
}

class StringTableResource : public ::testing::Test {
 protected:
  void TearDown() override { tavc::SetMessageLanguage(L"ja"); }
};

TEST_F(StringTableResource, JapaneseTableEqualsPortableTexts) {
  tavc::SetMessageLanguage(L"ja");
  const WORD l_language = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  for (const std::uint32_t l_id : kJapaneseIds) {
    std::wstring l_resource_text;
    ASSERT_TRUE(LoadStringOfLanguage(l_id, l_language, l_resource_text)) << l_id;
    EXPECT_FALSE(l_resource_text.empty()) << l_id;
    EXPECT_EQ(l_resource_text, tavc::LoadMessageText(l_id)) << l_id;
  }
}

TEST_F(StringTableResource, EnglishTableEqualsPortableTexts) {
  tavc::SetMessageLanguage(L"en");
  const WORD l_language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  for (const std::uint32_t l_id : kEnglishIds) {
    std::wstring l_resource_text;
    ASSERT_TRUE(LoadStringOfLanguage(l_id, l_language, l_resource_text)) << l_id;
    EXPECT_FALSE(l_resource_text.empty()) << l_id;
    EXPECT_EQ(l_resource_text, tavc::LoadMessageText(l_id)) << l_id;
  }
}

// The line breaks of the table arrive as the two units CR LF, and the Japanese
// text as UTF-16 units rather than UTF-8 bytes widened one by one.
TEST_F(StringTableResource, EscapesAndJapaneseAreDecoded) {
  std::wstring l_text;
  ASSERT_TRUE(LoadStringOfLanguage(2014, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), l_text));
  ASSERT_FALSE(l_text.empty());
  EXPECT_EQ(l_text.front(), L'\u76F4');  // 直
  EXPECT_NE(l_text.find(L"\r\n"), std::wstring::npos);
  EXPECT_EQ(l_text.find(L'\\'), std::wstring::npos);
}

TEST_F(StringTableResource, LoadStringWFindsTheMutexName) {
  wchar_t l_buffer[128] = {};
  const int l_length = LoadStringW(GetModuleHandleW(nullptr), 3308, l_buffer, 128);
  EXPECT_EQ(std::wstring(l_buffer, static_cast<std::size_t>(l_length > 0 ? l_length : 0)),
            L"MUTEX: com.vandrel.kelvarist.AppStartMain.MyAppSingleInstance");
}

}  // namespace
