#include "host/screens/window_placement.h"

#include <algorithm>

namespace tavc {
namespace {

// Sums in 64 bits, so that hostile sizes cannot overflow, then clamp into range.
std::int32_t Clamp(std::int64_t in_l_value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(in_l_value, INT32_MIN, INT32_MAX));
}

// The start of a span of `in_l_length` moved the least into [begin, end); a
// longer span starts at begin.
std::int64_t KeptInside(std::int64_t in_l_start, std::int64_t in_l_length, std::int64_t in_l_begin,
                        std::int64_t in_l_end) {
  return std::max(in_l_begin, std::min(in_l_start, in_l_end - in_l_length));
}

}  // namespace

ScreenSize FrameSizeFor(ScreenSize in_l_client, const FrameMetrics& in_l_metrics) {
  return ScreenSize{
      Clamp(std::int64_t{in_l_client.cx} + in_l_metrics.vertical_scroll_width),
      Clamp(std::int64_t{in_l_client.cy} + in_l_metrics.caption_button_height + in_l_metrics.horizontal_scroll_height)};
}

ScreenSize ScreenRoom(const FrameMetrics& in_l_metrics) {
  const PixelRect& l_work = in_l_metrics.work_area;
  return ScreenSize{
      Clamp(std::int64_t{l_work.right} - l_work.left - in_l_metrics.vertical_scroll_width),
      Clamp(std::int64_t{l_work.bottom} - l_work.top - in_l_metrics.caption_button_height -
            in_l_metrics.horizontal_scroll_height)};
}

PixelPoint KeptInWorkArea(PixelPoint in_l_at, ScreenSize in_l_size, const PixelRect& in_l_work_area) {
  return PixelPoint{Clamp(KeptInside(in_l_at.x, in_l_size.cx, in_l_work_area.left, in_l_work_area.right)),
                    Clamp(KeptInside(in_l_at.y, in_l_size.cy, in_l_work_area.top, in_l_work_area.bottom))};
}

PixelPoint FramePosition(ScreenSize in_l_size, bool in_l_first, const FrameMetrics& in_l_metrics,
                         const PixelRect& in_l_current) {
  const PixelRect& l_around = in_l_first ? in_l_metrics.work_area : in_l_current;
  const std::int64_t l_centre_x = (std::int64_t{l_around.left} + l_around.right) / 2;
  const std::int64_t l_centre_y = (std::int64_t{l_around.top} + l_around.bottom) / 2;
  return KeptInWorkArea(
      PixelPoint{Clamp(l_centre_x - in_l_size.cx / 2), Clamp(l_centre_y - in_l_size.cy / 2)}, in_l_size,
      in_l_metrics.work_area);
}

}  // namespace tavc
