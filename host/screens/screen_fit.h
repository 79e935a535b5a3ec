#pragma once
// How a screen too large for the room its frame has on the display gives up
// size. First its scrolling fields give up height, in equal shares, none below
// its least height; when that is not enough, the whole screen is laid out again
// in a smaller font, its spacing and pictures with it, down to a size that
// stays legible. OK and Cancel so stay on the display. Pixels and points; no
// window system involved.
#include <cstdint>
#include <vector>

#include "host/state/data_store.h"

namespace tavc {

struct ScrollingField {
  std::int32_t height = 0;
  std::int32_t minimum = 0;
};

// The smallest font a screen is laid out in, in points: the size of the
// classic Windows dialogs.
constexpr int kSmallestScreenPoints = 8;

// The height each field gives up (in their order) so that a screen
// `in_l_excess` pixels too tall fits: no more than that in all, none below its
// minimum; what one field cannot give, the others share. Less when they have
// less to give.
std::vector<std::int32_t> FieldShares(std::int32_t in_l_excess, const std::vector<ScrollingField>& in_l_fields);

// The font size to lay out again in, when a screen laid out at `in_l_points`
// needs `in_l_needed` and has `in_l_room`: smaller by the share it lacks, at
// least by one point, never below the smallest. 0 when it fits, or is at the
// smallest already.
int SmallerPointSize(int in_l_points, ScreenSize in_l_needed, ScreenSize in_l_room);

}  // namespace tavc
