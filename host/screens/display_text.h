#pragma once
// Text from a certificate made safe to show in a control: bounded in length,
// with control characters and the direction-changing marks (which would turn
// the rest of a field around) replaced by U+FFFD. Line breaks stay where the
// field is multi-line.
#include <cstddef>
#include <string>

namespace tavc {

constexpr std::size_t kDisplayTextLimit = 4096;

std::wstring DisplayText(const std::wstring& in_l_text, bool in_l_multi_line,
                         std::size_t in_l_limit = kDisplayTextLimit);

}  // namespace tavc
