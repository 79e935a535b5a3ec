// How a screen too large for its display gives up size: its scrolling fields
// first, then its font.
#include "host/screens/screen_fit.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace tavc {
namespace {

TEST(ScreenFit, FieldsGiveUpWhatTheScreenLacksInEqualSharesDownToTheirMinimum) {
  struct Case {
    const char* what;
    std::int32_t excess;
    std::vector<ScrollingField> fields;
    std::vector<std::int32_t> shares;
  };
  const Case l_cases[] = {
      {"the screen fits", 0, {{82, 45}, {82, 45}}, {0, 0}},
      {"too tall: equal shares", 60, {{82, 45}, {82, 45}, {82, 45}}, {20, 20, 20}},
      {"the pixels that do not divide go to the first fields", 7, {{82, 45}, {82, 45}, {82, 45}}, {3, 2, 2}},
      {"a field at its minimum leaves the rest to the others", 90, {{60, 45}, {200, 45}}, {15, 75}},
      {"no field below its minimum, however much is lacking", 500, {{82, 45}, {120, 80}}, {37, 40}},
      {"a field already below its minimum gives nothing", 30, {{30, 45}, {100, 45}}, {0, 30}},
      {"no fields", 50, {}, {}},
  };
  for (const Case& l_case : l_cases) {
    EXPECT_EQ(l_case.shares, FieldShares(l_case.excess, l_case.fields)) << l_case.what;
  }
}

TEST(ScreenFit, SharesNeverExceedTheExcess) {
  // A screen 1 pixel too tall among many fields gives up 1 pixel in all.
  const std::vector<ScrollingField> l_fields(5, ScrollingField{100, 10});
  const std::vector<std::int32_t> l_shares = FieldShares(1, l_fields);
  EXPECT_EQ(1, std::accumulate(l_shares.begin(), l_shares.end(), 0));
}

TEST(ScreenFit, AScreenStillTooLargeIsLaidOutInASmallerFont) {
  struct Case {
    const char* what;
    int points;
    ScreenSize needed;
    ScreenSize room;
    int next;
  };
  const Case l_cases[] = {
      {"fits", 16, {680, 700}, {1345, 700}, 0},
      {"by the share of the height it lacks", 16, {680, 1000}, {1345, 664}, 10},
      {"by the share of the width it lacks", 16, {1000, 500}, {750, 664}, 12},
      {"the larger lack decides", 16, {1000, 1000}, {900, 500}, 8},
      {"at least a point smaller", 16, {680, 665}, {1345, 664}, 15},
      {"never below the smallest", 16, {680, 5000}, {1345, 664}, kSmallestScreenPoints},
      {"at the smallest already: stays", kSmallestScreenPoints, {680, 5000}, {1345, 664}, 0},
      {"no room at all: the smallest", 16, {680, 700}, {0, -40}, kSmallestScreenPoints},
  };
  for (const Case& l_case : l_cases) {
    EXPECT_EQ(l_case.next, SmallerPointSize(l_case.points, l_case.needed, l_case.room)) << l_case.what;
  }
}

}  // namespace
}  // namespace tavc
