#include "host/screens/version_notice.h"

#include <gtest/gtest.h>

namespace tavc {
namespace {

TEST(VersionNotice, LowIntegrityCodesAndMustUpdate) {
  struct Case {
    const wchar_t* code;
    const wchar_t* low;
    bool must_update;
  };
  const Case l_cases[] = {
      {L"EW144-0430", L"EW144-0432", false}, {L"EWC44-0430", L"EWC44-0432", false},
      {L"EWD44-0430", L"EWD44-0432", false}, {L"EW244-0431", L"EW244-0433", true},
      {L"EW644-0431", L"EW644-0433", true},  {L"EWC44-0431", L"EWC44-0431", false},
      {L"EW044-1230", L"EW044-1231", true},  {L"EW044-0430", L"EW044-0430", false},
      {L"EW140-0430", L"EW140-0430", false}, {L"", L"", false},
  };
  for (const Case& l_case : l_cases) {
    EXPECT_EQ(l_case.low, LowIntegrityCode(l_case.code)) << l_case.code;
    EXPECT_EQ(l_case.must_update, IsMustUpdate(l_case.code)) << l_case.code;
  }
}

TEST(VersionNotice, LayoutByBannerAndIntegrity) {
  struct Case {
    bool banner;
    bool low;
    bool collapse;
    bool hide;
    int address_up;
    int buttons_up;
    int shrink;
  };
  const Case l_cases[] = {
      {true, false, false, true, 0, 62, 62},
      {true, true, false, false, 0, 0, 0},
      {false, true, true, false, 85, 85, 85},
      {false, false, true, true, 0, 147, 147},
  };
  for (const Case& l_case : l_cases) {
    const NoticeLayout l_layout = NoticeLayoutFor(l_case.banner, l_case.low);
    EXPECT_EQ(l_case.collapse, l_layout.collapse_banner);
    EXPECT_EQ(l_case.hide, l_layout.hide_address);
    EXPECT_EQ(l_case.address_up, l_layout.address_up);
    EXPECT_EQ(l_case.buttons_up, l_layout.buttons_up);
    EXPECT_EQ(l_case.shrink, l_layout.shrink);
  }
}

TEST(VersionNotice, BrowserCommandLineIsQuotedAndBounded) {
  EXPECT_EQ(L"rundll32 url.dll,FileProtocolHandler \"https://a.example/x#v\"",
            BrowserCommandLine(L"https://a.example/x#v"));
  EXPECT_EQ(L"", BrowserCommandLine(L"https://a.example/\" & calc"));
  EXPECT_EQ(L"", BrowserCommandLine(L""));
  // 39 characters around the address, 259 at most in all.
  EXPECT_EQ(259U, BrowserCommandLine(std::wstring(220, L'a')).size());
  EXPECT_EQ(L"", BrowserCommandLine(std::wstring(221, L'a')));
}

}  // namespace
}  // namespace tavc
