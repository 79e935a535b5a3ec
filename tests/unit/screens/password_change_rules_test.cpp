#include "host/screens/password_change_rules.h"

#include <gtest/gtest.h>

namespace tavc {
namespace {

struct CheckCase {
  const wchar_t* mode;
  int type;
  const wchar_t* current;
  const wchar_t* next;
  const wchar_t* confirmation;
  const wchar_t* code;
};

TEST(PasswordChangeRules, FirstFailingCheckGivesItsCode) {
  const CheckCase l_cases[] = {
      {L"06", 3, L"ABC123", L"XYZ789", L"XYZ789", L""},
      {L"06", 3, L"abc123", L"XYZ789", L"XYZ789", L"EW640-2746"},
      {L"06", 3, L"ABCDEF", L"XYZ789", L"XYZ789", L"EW640-2748"},
      {L"06", 3, L"", L"XYZ789", L"XYZ789", L"EW640-2748"},
      {L"06", 3, L"ABC123", L"XYZ-789", L"XYZ-789", L"EW640-2749"},
      {L"06", 3, L"ABC123", L"123456", L"123456", L"EW640-274A"},
      {L"06", 3, L"ABC123", L"XYZ789", L"XYZ788", L"EW640-274C"},
      // The current password is checked first, whatever else is wrong.
      {L"06", 3, L"abc", L"x", L"y", L"EW640-2746"},
      {L"06", 1, L"1234", L"4321", L"4321", L""},
      {L"06", 0, L"12a4", L"4321", L"4321", L"EW640-2740"},
      {L"06", 1, L"1234", L"43\uff121", L"43\uff121", L"EW640-2741"},
      {L"06", 1, L"1234", L"4321", L"4322", L"EW640-2742"},
      {L"06", 2, L"12 4", L"4321", L"4321", L"EW640-2743"},
      {L"06", 2, L"1234", L"432x", L"432x", L"EW640-2744"},
      {L"06", 2, L"1234", L"4321", L"1234", L"EW640-2745"},
      {L"13", 0, L"gpkiPass1", L"NewPass2", L"NewPass2", L""},
      {L"13", 3, L"gpki-1", L"NewPass2", L"NewPass2", L"EW640-274D"},
      {L"13", 0, L"gpkiPass1", L"New-Pass", L"New-Pass", L"EW640-274E"},
      {L"13", 0, L"gpkiPass1", L"New{Pass", L"New{Pass", L"EW640-274E"},
      {L"13", 0, L"gpkiPass1", L"NewPass2", L"newpass2", L"EW640-274F"},
  };
  for (const CheckCase& l_case : l_cases) {
    EXPECT_EQ(l_case.code, CheckPasswordChange(ParseRequestMode(l_case.mode), l_case.type, l_case.current, l_case.next,
                                               l_case.confirmation))
        << l_case.mode << " " << l_case.type << " " << l_case.current << " " << l_case.next;
  }
}

// The store holds the passwords only after every check passed: a refused
// change leaves nothing typed behind for the card.
TEST(PasswordChangeRules, TheStoreTakesThePasswordsOnlyWhenTheChecksPass) {
  DataStore l_store;
  l_store.SetMode(L"06");
  l_store.SetPasswordType(1);
  EXPECT_EQ(L"EW640-2742", TakePasswordChange(l_store, L"1234", L"4321", L"4322"));
  EXPECT_EQ(L"", l_store.GetPassword());
  EXPECT_EQ(L"", l_store.GetNewPassword());
  EXPECT_EQ(L"", TakePasswordChange(l_store, L"1234", L"4321", L"4321"));
  EXPECT_EQ(L"1234", l_store.GetPassword());
  EXPECT_EQ(L"4321", l_store.GetNewPassword());
}

struct RuleCase {
  const wchar_t* mode;
  int type;
  std::uint32_t prompt;
  int limit;
  int minimum;
  bool shown;
  const wchar_t* typed;
  const wchar_t* kept;
  std::uint32_t success;
};

TEST(PasswordChangeRules, EachTypeLimitsFiltersAndReportsAsItsRowSays) {
  const RuleCase l_cases[] = {
      {L"06", 3, 2037, 16, 6, true, L"ab1-Z\u00e9", L"AB1-Z\u00e9", 2049},
      {L"06", 1, 2038, 4, 4, false, L"1a2-3\uff14", L"123", 2050},
      {L"06", 0, 2038, 4, 4, false, L"x9", L"9", 2050},
      {L"06", 2, 2039, 4, 4, false, L"12 34", L"1234", 2051},
      {L"13", 3, 2040, 16, 6, false, L"aB-1", L"aB-1", 2078},
  };
  for (const RuleCase& l_case : l_cases) {
    const PasswordChangeRule l_rule = PasswordChangeRuleFor(ParseRequestMode(l_case.mode), l_case.type);
    EXPECT_EQ(l_case.prompt, l_rule.prompt_id) << l_case.mode << l_case.type;
    EXPECT_EQ(l_case.limit, l_rule.limit) << l_case.mode << l_case.type;
    EXPECT_EQ(l_case.minimum, l_rule.minimum) << l_case.mode << l_case.type;
    EXPECT_EQ(l_case.shown, l_rule.shown_at_start) << l_case.mode << l_case.type;
    EXPECT_EQ(l_case.kept, FilterChangedPassword(l_rule, l_case.typed)) << l_case.mode << l_case.type;
    EXPECT_EQ(l_case.success, PasswordChangeSuccessTextId(ParseRequestMode(l_case.mode), l_case.type))
        << l_case.mode << l_case.type;
  }
}

TEST(PasswordChangeRules, SelectionRadiosAndTypesCorrespond) {
  EXPECT_EQ(1048, PasswordSelectRadioFor(0));
  EXPECT_EQ(0, PasswordSelectRadioFor(7));
  for (const int l_type : {1, 2, 3}) EXPECT_EQ(l_type, PasswordTypeOfRadio(PasswordSelectRadioFor(l_type)));
  EXPECT_EQ(0, PasswordTypeOfRadio(0));
}

}  // namespace
}  // namespace tavc
