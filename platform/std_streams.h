#pragma once
// The protocol channel: standard input read in bulk, unbuffered and binary, never
// past the bytes asked for; standard output written in one write per answer.
#include <cstddef>
#include <cstdint>

namespace tavc::platform {

class StdStreams {
 public:
  virtual ~StdStreams() = default;
  // Binary mode, no buffering: bytes after the request stay in the pipe for the
  // interrupt watcher.
  virtual void PrepareBinaryInput() = 0;
  // Reads up to in_l_size bytes, fewer only at end of input; returns the count.
  // Never reads ahead: what follows stays in the pipe.
  virtual std::size_t ReadBytes(std::uint8_t* out_l_data, std::size_t in_l_size) = 0;
  // All bytes in a single write; false when it fails or writes less.
  virtual bool WriteAll(const std::uint8_t* in_l_data, std::size_t in_l_size) = 0;
};

// The process's own standard handles.
StdStreams& ProcessStdStreams();

}  // namespace tavc::platform
