#pragma once
// TAV on Linux from start to end: the request from standard input, one
// screen at a time in the Qt frame, the answer on standard output. The
// program's main calls it as it is; a test build may attach to the frame
// before the first screen shows.
#include <functional>

namespace tavc {

class QtFrame;

// Runs until the answer is written and the frame has gone; the exit code (always 0).
int RunTav(const std::function<void(QtFrame&)>& in_l_attach = {});

}  // namespace tavc
