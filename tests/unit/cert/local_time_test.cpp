// The time-zone seam, in the Asia/Tokyo zone (UTC+9, no daylight saving).
#include <gtest/gtest.h>

#include "platform/local_time.h"
#include "tests/unit/cert/tokyo_time_zone.h"

namespace tavc {
namespace {

platform::CalendarTime Local(const platform::CalendarTime& in_l_utc) {
  platform::CalendarTime l_local{1, 1, 1, 1, 1, 1};
  EXPECT_TRUE(platform::UtcToLocalTime(in_l_utc, &l_local));
  return l_local;
}

void ExpectTime(const platform::CalendarTime& in_l_expected, const platform::CalendarTime& in_l_actual) {
  EXPECT_EQ(in_l_expected.year, in_l_actual.year);
  EXPECT_EQ(in_l_expected.month, in_l_actual.month);
  EXPECT_EQ(in_l_expected.day, in_l_actual.day);
  EXPECT_EQ(in_l_expected.hour, in_l_actual.hour);
  EXPECT_EQ(in_l_expected.minute, in_l_actual.minute);
  EXPECT_EQ(in_l_expected.second, in_l_actual.second);
}

TEST(LocalTime, TokyoTimeCrossesDayMonthAndYearBoundaries) {
  const cert_test::TokyoTimeZone l_zone;
  if (!cert_test::TokyoTimeZone::Active()) GTEST_SKIP() << "the system time zone is not UTC+9";
  ExpectTime({2024, 3, 1, 9, 0, 0}, Local({2024, 3, 1, 0, 0, 0}));
  ExpectTime({2024, 3, 1, 5, 30, 5}, Local({2024, 2, 29, 20, 30, 5}));
  ExpectTime({2024, 1, 1, 0, 0, 0}, Local({2023, 12, 31, 15, 0, 0}));
  ExpectTime({2050, 1, 1, 8, 59, 59}, Local({2049, 12, 31, 23, 59, 59}));
}

TEST(LocalTime, NoOutputIsRefused) {
  EXPECT_FALSE(platform::UtcToLocalTime({2024, 3, 1, 0, 0, 0}, nullptr));
}

}  // namespace
}  // namespace tavc
