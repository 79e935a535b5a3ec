#pragma once
// The run of TAV until the screens exist: read and validate the request on
// standard input, then write the one answer frame to standard output.

namespace tavc {

// The process exit code (0).
int RunHeadlessRequest();

}  // namespace tavc
