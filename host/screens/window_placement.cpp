#include "host/screens/window_placement.h"

#include <algorithm>

namespace tavc {
namespace {

// Sums in 64 bits, so that hostile sizes cannot overflow, then clamp into range.
std::int32_t Clamp(std::int64_t in_l_value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(in_l_value, INT32_MIN, INT32_MAX));
}

}  // namespace

ScreenSize FrameSizeFor(ScreenSize in_l_client, const FrameMetrics& in_l_metrics) {
  return ScreenSize{
      Clamp(std::int64_t{in_l_client.cx} + in_l_metrics.vertical_scroll_width),
      Clamp(std::int64_t{in_l_client.cy} + in_l_metrics.caption_button_height + in_l_metrics.horizontal_scroll_height)};
}

PixelPoint FramePosition(ScreenSize in_l_size, bool in_l_first, const FrameMetrics& in_l_metrics,
                         const PixelRect& in_l_current) {
  if (in_l_first) {
    return PixelPoint{Clamp(std::int64_t{in_l_metrics.screen_width} / 2 - in_l_size.cx / 2),
                      Clamp(std::int64_t{in_l_metrics.screen_height} / 2 - in_l_size.cy / 2)};
  }
  const std::int64_t l_centre_x = (std::int64_t{in_l_current.left} + in_l_current.right) / 2;
  const std::int64_t l_centre_y = (std::int64_t{in_l_current.top} + in_l_current.bottom) / 2;
  return PixelPoint{Clamp(std::max<std::int64_t>(0, l_centre_x - in_l_size.cx / 2)),
                    Clamp(std::max<std::int64_t>(0, l_centre_y - in_l_size.cy / 2))};
}

}  // namespace tavc
