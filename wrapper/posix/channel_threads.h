#pragma once
// The threads that move frames for the frame: the watch of the page's later
// frames, the reader of TAV's one answer and the writer of a frame to TAV. Each
// posts what happened to the frame's queue, stops when asked (its waits watch
// a stop signal) and is joined by its owner, never left behind.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "wrapper/frame_reader.h"
#include "wrapper/parent_watch.h"
#include "wrapper/posix/event_queue.h"
#include "wrapper/posix/stop_signal.h"
#include "wrapper/receive_data.h"

// One thread with its stop signal.
class ChannelThread {
 public:
  ChannelThread() = default;
  ChannelThread(const ChannelThread&) = delete;
  ChannelThread& operator=(const ChannelThread&) = delete;
  ~ChannelThread() { Stop(); }

  // Runs the body (given the stop signal) on a new thread; false when a thread
  // still runs or none could be started.
  bool Start(std::function<void(const StopSignal&)> in_body);
  // Waits up to the time for the body to return; true when it has (or none ran).
  bool Finish(std::chrono::milliseconds in_wait) const;
  // Sets the stop signal and joins the thread.
  void Stop();

 private:
  std::thread m_thread;
  std::unique_ptr<StopSignal> m_stop;
  std::shared_ptr<std::atomic<bool>> m_done;
};

// Watches the page's frames (WatchParent) until they end; posts each cancel,
// then the end of the input or the watch's failure.
struct ParentWatchPosts {
  std::function<void(ReceiveData&)> cancel;
  std::function<void()> gone;
  std::function<void()> failed;
};
bool StartParentWatch(ChannelThread& io_thread, int in_input, EventQueue& in_queue, ParentWatchPosts in_posts);

// Reads one frame (ReadOneFrame) and posts its outcome; nothing once stopped.
using AnswerPost = std::function<void(ReadOutcome, std::unique_ptr<ReceiveData>)>;
bool StartAnswerReader(ChannelThread& io_thread, int in_output, EventQueue& in_queue, AnswerPost in_post);

// Writes one frame (WriteFrame); posts in_failed when the write failed
// unexpectedly. The text is wiped once written.
bool StartFrameWriter(ChannelThread& io_thread, int in_input, const std::wstring& in_text, EventQueue& in_queue,
                      std::function<void()> in_failed);
