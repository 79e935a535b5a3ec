#include "host/screens/screen_fit.h"

#include <algorithm>
#include <cmath>

namespace tavc {

std::vector<std::int32_t> FieldShares(std::int32_t in_l_excess, const std::vector<ScrollingField>& in_l_fields) {
  std::vector<std::int32_t> l_shares(in_l_fields.size(), 0);
  std::int64_t l_left = std::max<std::int32_t>(in_l_excess, 0);
  while (l_left > 0) {
    std::vector<std::size_t> l_giving;
    for (std::size_t l_i = 0; l_i < in_l_fields.size(); ++l_i) {
      if (std::int64_t{in_l_fields[l_i].height} - in_l_fields[l_i].minimum > l_shares[l_i]) l_giving.push_back(l_i);
    }
    if (l_giving.empty()) break;
    // Equal shares; the pixels that do not divide go to the first fields.
    const std::int64_t l_each = std::max<std::int64_t>(1, l_left / static_cast<std::int64_t>(l_giving.size()));
    for (const std::size_t l_i : l_giving) {
      const std::int64_t l_can = std::int64_t{in_l_fields[l_i].height} - in_l_fields[l_i].minimum - l_shares[l_i];
      const std::int64_t l_gives = std::min({l_each, l_can, l_left});
      l_shares[l_i] += static_cast<std::int32_t>(l_gives);
      l_left -= l_gives;
    }
  }
  return l_shares;
}

int SmallerPointSize(int in_l_points, ScreenSize in_l_needed, ScreenSize in_l_room) {
  if (in_l_needed.cx <= in_l_room.cx && in_l_needed.cy <= in_l_room.cy) return 0;
  if (in_l_points <= kSmallestScreenPoints) return 0;
  const auto l_share = [](std::int32_t in_l_has, std::int32_t in_l_needs) {
    return in_l_needs <= in_l_has ? 1.0 : std::max(0.0, static_cast<double>(in_l_has) / in_l_needs);
  };
  const double l_ratio = std::min(l_share(in_l_room.cx, in_l_needed.cx), l_share(in_l_room.cy, in_l_needed.cy));
  const int l_scaled = static_cast<int>(std::floor(in_l_points * l_ratio));
  return std::max(kSmallestScreenPoints, std::min(in_l_points - 1, l_scaled));
}

}  // namespace tavc
