#pragma once
// Frames on Windows handles: a blocking reader thread per channel that posts
// what it read to the frame window, and the frame writer (WriteJson).
#include <windows.h>

#include "wrapper/frame_reader.h"
#include "wrapper/frame_writer.h"
#include "wrapper/receive_data.h"

// Reads with ReadFile; a failure (broken pipe) reads as end of input.
class HandleSource final : public ByteSource {
 public:
  explicit HandleSource(HANDLE in_handle) : m_handle(in_handle) {}
  std::size_t ReadSome(std::uint8_t* out_data, std::size_t in_size) override;

 private:
  HANDLE m_handle;
};

// Writes with one WriteFile; false when it fails or falls short.
class HandleSink final : public ByteSink {
 public:
  explicit HandleSink(HANDLE in_handle) : m_handle(in_handle) {}
  bool WriteAll(const std::uint8_t* in_data, std::size_t in_size) override;

 private:
  HANDLE m_handle;
};

// Writes one frame in one WriteFile; false when nothing is to be written or the
// write fails or falls short.
class WriteJson {
 public:
  explicit WriteJson(HANDLE in_output) : m_output(in_output) {}
  bool Write(const ReceiveData& in_data);

 private:
  HANDLE m_output;
};

// What a reader thread posts to the frame. The frame message carries the frame
// as a heap ReceiveData in lParam, which the handler takes over.
struct FrameReaderMessages {
  UINT frame;      // a frame was read (an empty frame carries an empty ReceiveData)
  UINT broken;     // the channel ended or broke before a whole frame
  UINT overLimit;  // the frame is larger than any side accepts
  UINT failed;     // the read failed unexpectedly
};

// Reads one frame from the handle on its own thread and posts the outcome.
// Blocking reads: under Wine, PeekNamedPipe fails on a browser's Unix pipe.
bool StartFrameReader(HANDLE in_handle, HWND in_frame, FrameReaderMessages in_messages);

// Watches the browser's input on a thread of its own until it ends: posts each
// cancel message (as a heap ReceiveData in lParam; none when in_cancel is 0),
// in_gone once the input has ended or broken, and in_failed (unless 0) when the
// watch failed unexpectedly.
bool StartParentWatch(HANDLE in_input, HWND in_window, UINT in_cancel, UINT in_gone, UINT in_failed);
