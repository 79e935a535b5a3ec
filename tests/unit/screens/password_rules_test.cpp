#include "host/screens/password_rules.h"

#include <gtest/gtest.h>

#include "host/screens/faq_address.h"

namespace tavc {
namespace {

struct ModeCase {
  const wchar_t* mode;
  std::uint32_t prompt;
  int limit;
  int minimum;
  const wchar_t* typed;
  const wchar_t* kept;
  bool upper_case;
  const wchar_t* code;
};

TEST(PasswordRules, EachModeFiltersLimitsAndCodesAsItsRowSays) {
  const ModeCase l_cases[] = {
      {L"01", 2005, 4, 4, L"1a2-3 4", L"1234", true, L"EW140-0820"},
      {L"02", 2006, 16, 6, L"ab-C1\u00e92", L"abC12", true, L"EW240-0820"},
      {L"07", 2006, 16, 6, L"x{y}z", L"xyz", true, L"EW240-0820"},
      {L"11", 2068, 16, 6, L"Gpki_12\uff11", L"Gpki12", false, L"EWC40-0820"},
      {L"12", 2068, 16, 6, L"aB3", L"aB3", false, L"EWC40-0820"},
      {L"03", 2007, 4, 4, L"12ab", L"12", true, L"EW340-0820"},
      {L"04", 2007, 4, 4, L"\uff11234", L"234", true, L"EW340-0820"},
  };
  for (const ModeCase& l_case : l_cases) {
    SCOPED_TRACE(l_case.mode);
    const PasswordRule l_rule = PasswordRuleFor(ParseRequestMode(l_case.mode));
    EXPECT_EQ(l_rule.prompt_id, l_case.prompt);
    EXPECT_EQ(l_rule.limit, l_case.limit);
    EXPECT_EQ(l_rule.minimum, l_case.minimum);
    EXPECT_EQ(l_rule.upper_case, l_case.upper_case);
    EXPECT_STREQ(l_rule.invalid_code, l_case.code);
    EXPECT_EQ(FilterPassword(l_rule, l_case.typed), l_case.kept);
  }
}

TEST(PasswordRules, ChangeLinkOnlyInLoginAndGpkiSigningWhenAskedFor) {
  for (const wchar_t* l_mode : {L"01", L"11", L"12"}) {
    EXPECT_TRUE(PasswordChangeLinkShown(ParseRequestMode(l_mode), L"1")) << l_mode;
    EXPECT_FALSE(PasswordChangeLinkShown(ParseRequestMode(l_mode), L"0")) << l_mode;
  }
  for (const wchar_t* l_mode : {L"02", L"07", L"03", L"04"}) {
    EXPECT_FALSE(PasswordChangeLinkShown(ParseRequestMode(l_mode), L"1")) << l_mode;
  }
}

TEST(PasswordRules, EnglishOnlyForAnEnglishLogin) {
  EXPECT_STREQ(PasswordScreenLanguage(ParseRequestMode(L"01"), L"en"), L"en");
  EXPECT_STREQ(PasswordScreenLanguage(ParseRequestMode(L"02"), L"en"), L"ja-JP");
  EXPECT_STREQ(PasswordScreenLanguage(ParseRequestMode(L"01"), L"ja"), L"ja-JP");
  EXPECT_STREQ(PasswordScreenLanguage(ParseRequestMode(L"01"), L""), L"ja-JP");
}

TEST(FaqAddress, MessagesTheUserCanCureComeWithTheirPage) {
  const std::uint32_t l_card_request[][2] = {{2004, 3312}, {2063, 3312}, {2064, 3312}, {2066, 0}, {2067, 0}, {0, 0}};
  for (const auto& l_row : l_card_request) EXPECT_EQ(CardRequestFaqAddress(l_row[0]), l_row[1]) << l_row[0];
  const std::uint32_t l_error[][2] = {{2016, 3311}, {2022, 3311}, {2027, 3311}, {2057, 3311}, {2060, 3311},
                                      {2020, 3312}, {2021, 3312}, {2004, 3312}, {2019, 0}};
  for (const auto& l_row : l_error) EXPECT_EQ(ErrorScreenFaqAddress(l_row[0]), l_row[1]) << l_row[0];
}

}  // namespace
}  // namespace tavc
