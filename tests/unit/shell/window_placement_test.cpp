// Where the frame goes around each screen.
#include "host/screens/window_placement.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tavc {
namespace {

constexpr FrameMetrics kMetrics{17, 22, 17, 1920, 1080};

TEST(WindowPlacement, FrameIsTheScreenPlusScrollBarAndCaptionRoom) {
  const ScreenSize l_size = FrameSizeFor(ScreenSize{338, 318}, kMetrics);
  EXPECT_EQ(338 + 17, l_size.cx);
  EXPECT_EQ(318 + 22 + 17, l_size.cy);
}

TEST(WindowPlacement, FirstScreenIsCentredOnTheDisplay) {
  // Wherever the frame was created.
  const PixelPoint l_at = FramePosition(ScreenSize{400, 300}, true, kMetrics, PixelRect{5, 5, 5, 5});
  EXPECT_EQ(960 - 200, l_at.x);
  EXPECT_EQ(540 - 150, l_at.y);
}

TEST(WindowPlacement, LaterScreensKeepTheFramesCentre) {
  const PixelPoint l_at = FramePosition(ScreenSize{200, 100}, false, kMetrics, PixelRect{600, 400, 1000, 700});
  EXPECT_EQ(800 - 100, l_at.x);
  EXPECT_EQ(550 - 50, l_at.y);
}

TEST(WindowPlacement, LaterScreensStayOnTheDisplaysTopLeft) {
  // A larger screen around a frame near the corner would start above and left of 0.
  const PixelPoint l_at = FramePosition(ScreenSize{600, 500}, false, kMetrics, PixelRect{0, 10, 200, 110});
  EXPECT_EQ(0, l_at.x);
  EXPECT_EQ(0, l_at.y);
}

TEST(WindowPlacement, ExtremeValuesDoNotOverflow) {
  const ScreenSize l_size = FrameSizeFor(ScreenSize{INT32_MAX, INT32_MAX}, kMetrics);
  EXPECT_EQ(INT32_MAX, l_size.cx);
  EXPECT_EQ(INT32_MAX, l_size.cy);
  const PixelPoint l_at =
      FramePosition(ScreenSize{2, 2}, false, kMetrics, PixelRect{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX});
  EXPECT_EQ(INT32_MAX - 1, l_at.x);
  EXPECT_EQ(INT32_MAX - 1, l_at.y);
}

}  // namespace
}  // namespace tavc
