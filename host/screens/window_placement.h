#pragma once
// Where the frame window goes when a screen is shown: its size follows the
// screen's client area, the first screen is centred on the primary display,
// later screens keep the frame's centre. Pixels; no window system involved.
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

// The system metrics the frame size is made of.
struct FrameMetrics {
  std::int32_t vertical_scroll_width = 0;     // SM_CXVSCROLL
  std::int32_t caption_button_height = 0;     // SM_CYSIZE
  std::int32_t horizontal_scroll_height = 0;  // SM_CYHSCROLL
  std::int32_t screen_width = 0;              // SM_CXSCREEN
  std::int32_t screen_height = 0;             // SM_CYSCREEN
};

// The frame's size around a screen whose client area is `in_l_client`.
ScreenSize FrameSizeFor(ScreenSize in_l_client, const FrameMetrics& in_l_metrics);

// The frame's top-left corner: centred on the display for the first screen,
// else around the centre of `in_l_current` (the frame's rectangle now),
// never left of or above 0.
PixelPoint FramePosition(ScreenSize in_l_size, bool in_l_first, const FrameMetrics& in_l_metrics,
                         const PixelRect& in_l_current);

}  // namespace tavc
