#pragma once
// Standard input after the request: looked at without blocking while the work
// runs, so that a later frame or a closed pipe is noticed. Windows:
// PeekNamedPipe on the standard-input handle; elsewhere poll and FIONREAD.
#include <cstdint>
#include <memory>

namespace tavc::platform {

class InputPipe {
 public:
  static constexpr std::int64_t kBroken = -1;
  static constexpr int kEndOfFile = -1;

  virtual ~InputPipe() = default;
  // Bytes that can be read now without blocking, or kBroken when the writing
  // side is gone and nothing is left, or when the input is no pipe at all.
  virtual std::int64_t Available() = 0;
  // One byte (0..255), or kEndOfFile.
  virtual int ReadByte() = 0;
  // Closes the input for good; Available() then reports kBroken.
  virtual void Close() = 0;
};

// The process's standard input.
InputPipe& ProcessInputPipe();

#ifndef _WIN32
// The reading end of another pipe (tests, tools); owns the descriptor.
std::unique_ptr<InputPipe> InputPipeOnDescriptor(int in_l_fd);
#endif

}  // namespace tavc::platform
