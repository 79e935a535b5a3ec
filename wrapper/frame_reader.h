#pragma once
// Reads one native-messaging frame (4-byte little-endian length, then the JSON)
// from any byte channel: the browser's standard input or the child's output.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "wrapper/receive_data.h"

// A channel that blocks until it has some bytes; 0 means end of input or a
// broken pipe.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t ReadSome(std::uint8_t* out_data, std::size_t in_size) = 0;
};

// Largest frame either program accepts, and the largest message a browser
// takes from its host.
constexpr std::uint32_t kMaxFrameSize = 0x100000;

enum class [[nodiscard]] FrameStatus {
  kFrame,      // a whole frame, stored in the ReceiveData
  kNoFrame,    // end of input (or a broken pipe) inside the prefix
  kEmpty,      // a zero length: a frame with nothing in it
  kOverLimit,  // the prefix declares more than kMaxFrameSize (kept as the size); the body is left unread
  kCutShort,   // end of input inside the body
};

// Reads the prefix, then the body in large reads of exactly the bytes it still
// lacks: never one byte at a time, never past the frame, never allocating more
// than the limit.
FrameStatus ReadFrame(ByteSource& in_source, ReceiveData& out_data);

// Reads past the bytes in pieces of bounded size; false when the input ends first.
bool SkipBytes(ByteSource& in_source, std::uint64_t in_count);

// What the one-frame reader of a channel (TAV's answer) reports.
enum class [[nodiscard]] ReadOutcome {
  kFrame,      // a frame, an empty one included
  kBroken,     // the channel ended or broke before a whole frame
  kOverLimit,  // the frame is larger than either side accepts
  kFailed,     // the read failed unexpectedly (an exception)
};
struct OneFrame {
  ReadOutcome outcome;
  std::unique_ptr<ReceiveData> frame;  // only with kFrame
};
// Reads one frame. Never throws: whatever fails becomes kFailed, so that the
// thread that reads always has its one outcome to report.
OneFrame ReadOneFrame(ByteSource& in_source) noexcept;
