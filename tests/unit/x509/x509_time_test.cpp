#include "host/cert/x509/x509_time.h"

#include <gtest/gtest.h>

#include <string>

namespace tavc {
namespace x509 {
namespace {

// "YYYY-MM-DD hh:mm:ss" or "fail".
std::string Decoded(std::uint8_t in_l_tag, const std::string& in_l_text) {
  DateTime l_time;
  if (!DecodeTime(in_l_tag, reinterpret_cast<const std::uint8_t*>(in_l_text.data()),
                  in_l_text.size(), l_time)) {
    return "fail";
  }
  char l_buffer[32];
  std::snprintf(l_buffer, sizeof l_buffer, "%04d-%02d-%02d %02d:%02d:%02d", l_time.year,
                l_time.month, l_time.day, l_time.hour, l_time.minute, l_time.second);
  return l_buffer;
}

constexpr std::uint8_t kUtc = 0x17;
constexpr std::uint8_t kGeneralized = 0x18;

TEST(X509TimeTest, UtcTimeTwoDigitYearsPivotAt1950) {
  EXPECT_EQ(Decoded(kUtc, "240301090507Z"), "2024-03-01 09:05:07");
  EXPECT_EQ(Decoded(kUtc, "491231235959Z"), "2049-12-31 23:59:59");
  EXPECT_EQ(Decoded(kUtc, "500101000000Z"), "1950-01-01 00:00:00");
  EXPECT_EQ(Decoded(kUtc, "990630120000Z"), "1999-06-30 12:00:00");
  EXPECT_EQ(Decoded(kUtc, "2403010905Z"), "2024-03-01 09:05:00") << "without seconds";
}

TEST(X509TimeTest, GeneralizedTimeCarriesTheFullYear) {
  EXPECT_EQ(Decoded(kGeneralized, "20500101000000Z"), "2050-01-01 00:00:00");
  EXPECT_EQ(Decoded(kGeneralized, "20491231235959Z"), "2049-12-31 23:59:59");
  EXPECT_EQ(Decoded(kGeneralized, "99991231235959Z"), "9999-12-31 23:59:59");
  EXPECT_EQ(Decoded(kGeneralized, "20240229120000.125Z"), "2024-02-29 12:00:00");
}

TEST(X509TimeTest, RefusesImpossibleAndZonedTimes) {
  EXPECT_EQ(Decoded(kUtc, "230229000000Z"), "fail") << "29 February 2023";
  EXPECT_EQ(Decoded(kGeneralized, "21000229000000Z"), "fail") << "2100 is not a leap year";
  EXPECT_EQ(Decoded(kGeneralized, "20000229000000Z"), "2000-02-29 00:00:00");
  EXPECT_EQ(Decoded(kUtc, "241301000000Z"), "fail");
  EXPECT_EQ(Decoded(kUtc, "240431000000Z"), "fail");
  EXPECT_EQ(Decoded(kUtc, "240301240000Z"), "fail");
  EXPECT_EQ(Decoded(kUtc, "240301006000Z"), "fail");
  EXPECT_EQ(Decoded(kUtc, "240301000060Z"), "fail");
  EXPECT_EQ(Decoded(kUtc, "240301090507+0900"), "fail");
  EXPECT_EQ(Decoded(kUtc, "240301090507"), "fail");
  EXPECT_EQ(Decoded(kUtc, "24030109050Z"), "fail");
  EXPECT_EQ(Decoded(kUtc, "2403-1090507Z"), "fail");
  EXPECT_EQ(Decoded(kGeneralized, "15991231235959Z"), "fail") << "before 1601";
  EXPECT_EQ(Decoded(kGeneralized, "20240301090507.Z"), "fail");
  EXPECT_EQ(Decoded(kGeneralized, "20240301090507,5Z"), "fail");
  EXPECT_EQ(Decoded(kGeneralized, "240301090507Z"), "fail");
  EXPECT_EQ(Decoded(0x04, "240301090507Z"), "fail");
}

}  // namespace
}  // namespace x509
}  // namespace tavc
