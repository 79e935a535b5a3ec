// Where the frame goes around each screen: always wholly inside the work area.
#include "host/screens/window_placement.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tavc {
namespace {

// A 1366x768 display with a 40-pixel task bar at the bottom.
constexpr FrameMetrics kMetrics{17, 22, 17, PixelRect{0, 0, 1366, 728}};

TEST(WindowPlacement, FrameIsTheScreenPlusScrollBarAndCaptionRoom) {
  const ScreenSize l_size = FrameSizeFor(ScreenSize{338, 318}, kMetrics);
  EXPECT_EQ(338 + 17, l_size.cx);
  EXPECT_EQ(318 + 22 + 17, l_size.cy);
}

TEST(WindowPlacement, RoomIsTheWorkAreaLessTheFrame) {
  // A task bar on the left and at the top: the work area starts away from 0.
  const FrameMetrics l_metrics{21, 23, 21, PixelRect{62, 48, 1366, 768}};
  const ScreenSize l_room = ScreenRoom(l_metrics);
  EXPECT_EQ(1366 - 62 - 21, l_room.cx);
  EXPECT_EQ(768 - 48 - 23 - 21, l_room.cy);
  const ScreenSize l_frame = FrameSizeFor(l_room, l_metrics);
  EXPECT_EQ(1366 - 62, l_frame.cx);
  EXPECT_EQ(768 - 48, l_frame.cy);
}

TEST(WindowPlacement, FirstScreenIsCentredInTheWorkArea) {
  // Wherever the frame was created; a task bar at the top moves the centre down.
  const FrameMetrics l_metrics{17, 22, 17, PixelRect{0, 40, 1920, 1080}};
  const PixelPoint l_at = FramePosition(ScreenSize{400, 300}, true, l_metrics, PixelRect{5, 5, 5, 5});
  EXPECT_EQ(960 - 200, l_at.x);
  EXPECT_EQ(560 - 150, l_at.y);
}

TEST(WindowPlacement, LaterScreensKeepTheFramesCentre) {
  const PixelPoint l_at = FramePosition(ScreenSize{200, 100}, false, kMetrics, PixelRect{600, 400, 1000, 700});
  EXPECT_EQ(800 - 100, l_at.x);
  EXPECT_EQ(550 - 50, l_at.y);
}

TEST(WindowPlacement, TheWholeFrameStaysInTheWorkArea) {
  struct Case {
    const char* what;
    PixelPoint wanted;
    ScreenSize size;
    PixelPoint expected;
  };
  const PixelRect l_work{100, 50, 1100, 750};
  const Case l_cases[] = {
      {"inside stays", {300, 200}, {400, 300}, {300, 200}},
      {"above and left of it", {20, -30}, {400, 300}, {100, 50}},
      {"below and right of it: onto the task bar", {900, 600}, {400, 300}, {700, 450}},
      {"taller than the work area: its top", {300, 200}, {400, 900}, {300, 50}},
      {"wider than the work area: its left", {300, 200}, {1200, 300}, {100, 200}},
  };
  for (const Case& l_case : l_cases) {
    const PixelPoint l_at = KeptInWorkArea(l_case.wanted, l_case.size, l_work);
    EXPECT_EQ(l_case.expected.x, l_at.x) << l_case.what;
    EXPECT_EQ(l_case.expected.y, l_at.y) << l_case.what;
  }
}

TEST(WindowPlacement, ALargerLaterScreenMovesUpIntoTheWorkArea) {
  // The confirmation after the small password entry near the bottom: kept
  // centred it would reach below the work area.
  const PixelPoint l_at = FramePosition(ScreenSize{680, 728}, false, kMetrics, PixelRect{421, 400, 945, 716});
  EXPECT_EQ(683 - 340, l_at.x);
  EXPECT_EQ(0, l_at.y);
}

TEST(WindowPlacement, ExtremeValuesDoNotOverflow) {
  const ScreenSize l_size = FrameSizeFor(ScreenSize{INT32_MAX, INT32_MAX}, kMetrics);
  EXPECT_EQ(INT32_MAX, l_size.cx);
  EXPECT_EQ(INT32_MAX, l_size.cy);
  const FrameMetrics l_huge{0, 0, 0, PixelRect{0, 0, INT32_MAX, INT32_MAX}};
  const PixelPoint l_at =
      FramePosition(ScreenSize{2, 2}, false, l_huge, PixelRect{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX});
  EXPECT_EQ(INT32_MAX - 2, l_at.x);
  EXPECT_EQ(INT32_MAX - 2, l_at.y);
  const ScreenSize l_room = ScreenRoom(FrameMetrics{INT32_MAX, INT32_MAX, INT32_MAX, PixelRect{INT32_MIN, 0, 0, 0}});
  EXPECT_EQ(1, l_room.cx);
  EXPECT_EQ(INT32_MIN, l_room.cy);
}

}  // namespace
}  // namespace tavc
