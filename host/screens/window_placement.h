#pragma once
// Where the frame window goes when a screen is shown: its size follows the
// screen's client area, and the whole frame stays inside the work area of the
// display it is on (the display less its task bars): the first screen is
// centred there, later screens keep the frame's centre. Pixels; no window
// system involved.
#include <cstdint>

#include "host/state/data_store.h"

namespace tavc {

struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct PixelPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// The system metrics the frame size is made of, and where it may lie.
struct FrameMetrics {
  std::int32_t vertical_scroll_width = 0;     // SM_CXVSCROLL
  std::int32_t caption_button_height = 0;     // SM_CYSIZE
  std::int32_t horizontal_scroll_height = 0;  // SM_CYHSCROLL
  PixelRect work_area;                        // of the display the frame is on
};

// The frame's size around a screen whose client area is `in_l_client`.
ScreenSize FrameSizeFor(ScreenSize in_l_client, const FrameMetrics& in_l_metrics);

// The largest client area a screen may take so that its frame fits the work area.
ScreenSize ScreenRoom(const FrameMetrics& in_l_metrics);

// The frame's top-left corner: centred in the work area for the first screen,
// else around the centre of `in_l_current` (the frame's rectangle now); the
// whole frame inside the work area.
PixelPoint FramePosition(ScreenSize in_l_size, bool in_l_first, const FrameMetrics& in_l_metrics,
                         const PixelRect& in_l_current);

// `in_l_at` moved the least that puts a frame of `in_l_size` inside the work
// area; a frame larger than the work area keeps to its top and left.
PixelPoint KeptInWorkArea(PixelPoint in_l_at, ScreenSize in_l_size, const PixelRect& in_l_work_area);

}  // namespace tavc
