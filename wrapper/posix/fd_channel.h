#pragma once
// Frames over POSIX descriptors. Every wait is a poll that also watches a stop
// signal, so that a thread blocked on a silent peer still ends when asked;
// EINTR is retried everywhere.
#include <cstddef>
#include <cstdint>

#include "wrapper/frame_reader.h"
#include "wrapper/frame_writer.h"
#include "wrapper/posix/stop_signal.h"

// Reads what the descriptor has once it is readable; 0 at end of input, on an
// error, or once the stop signal is set.
class FdSource final : public ByteSource {
 public:
  FdSource(int in_fd, const StopSignal& in_stop) : m_fd(in_fd), m_stop(in_stop) {}
  std::size_t ReadSome(std::uint8_t* out_data, std::size_t in_size) override;

 private:
  int m_fd;
  const StopSignal& m_stop;
};

// Writes all the bytes, in as many writes as the reader's pace needs; false
// when the reader is gone (EPIPE: SIGPIPE is ignored), on an error, or once the
// stop signal is set. The descriptor may be non-blocking.
class FdSink final : public ByteSink {
 public:
  FdSink(int in_fd, const StopSignal& in_stop) : m_fd(in_fd), m_stop(in_stop) {}
  bool WriteAll(const std::uint8_t* in_data, std::size_t in_size) override;

 private:
  int m_fd;
  const StopSignal& m_stop;
};
