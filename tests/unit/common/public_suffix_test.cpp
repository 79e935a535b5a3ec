// The public suffix table: made from the same list as the extension's, and safe
// with any text (its answers on real hosts: registrable_domains.txt, through
// request_origin_test.cpp).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/public_suffix.h"

namespace tavc {
namespace {

TEST(PublicSuffixList, TheExtensionsTableComesFromTheSameList) {
  std::ifstream l_file(TAV_EXTENSION_SUFFIX_TABLE);
  std::stringstream l_text;
  l_text << l_file.rdbuf();
  const std::string l_line =
      std::string("export const PUBLIC_SUFFIX_LIST_VERSION = \"") + PublicSuffixListVersion() + "\";\n";
  EXPECT_NE(std::string::npos, l_text.str().find(l_line)) << PublicSuffixListVersion();
}

TEST(RegistrableDomainStart, StartsALabelWithinAnyText) {
  std::wstring l_long;
  for (int l_i = 0; l_i < 50000; ++l_i) l_long += L"a.";
  l_long += L"jp";
  for (const std::wstring& l_name : std::initializer_list<std::wstring>{
           L"", L".", L"..", L"a.", L".jp", L"jp.", L"www.example.jp.", L"a..jp", std::wstring(L"a\0.jp", 5),
           std::wstring(L"www.c\0", 6), L"\u65E5\u672C.jp", L"x.\uFFFF", L"ck.", L"!www.ck", L"*.ck", l_long}) {
    const std::size_t l_start = RegistrableDomainStart(l_name);
    EXPECT_LE(l_start, l_name.size());
    if (l_start > 0) {
      EXPECT_EQ(L'.', l_name[l_start - 1]) << l_start;
    }
  }
  EXPECT_EQ(l_long.size() - 4, RegistrableDomainStart(l_long));
}

}  // namespace
}  // namespace tavc
