#pragma once
// The bytes of one frame for a JSON text: 4-byte little-endian length, then the
// UTF-8 text without a terminating zero; and their writing to a channel.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "wrapper/receive_data.h"

// Empty when there is nothing to send: a size of 0 or an empty text.
std::vector<std::uint8_t> BuildFrame(const ReceiveData& in_data);

// A channel that takes all the bytes in one write or fails.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool WriteAll(const std::uint8_t* in_data, std::size_t in_size) = 0;
};

enum class [[nodiscard]] WriteOutcome {
  kWritten,
  kNotWritten,  // nothing to send, or the channel refused or broke
  kFailed,      // the write failed unexpectedly (an exception)
};
// Writes the frame of the data. Never throws: the request writer's thread
// always has its outcome, and the frame's bytes never outlive the call.
WriteOutcome WriteFrame(ByteSink& in_sink, const ReceiveData& in_data) noexcept;
