#pragma once
// The protocol channel: standard input read byte by byte, unbuffered and binary;
// standard output written in one write per answer.
#include <cstddef>
#include <cstdint>

namespace tavc::platform {

class StdStreams {
 public:
  static constexpr int kEndOfFile = -1;

  virtual ~StdStreams() = default;
  // Binary mode, no buffering: bytes after the request stay in the pipe for the
  // interrupt watcher.
  virtual void PrepareBinaryInput() = 0;
  // The next byte (0..255), or kEndOfFile.
  virtual int ReadByte() = 0;
  // All bytes in a single write; false when it fails or writes less.
  virtual bool WriteAll(const std::uint8_t* in_l_data, std::size_t in_l_size) = 0;
};

// The process's own standard handles.
StdStreams& ProcessStdStreams();

}  // namespace tavc::platform
