#pragma once
// The frame's message queue: the channel threads post work that the frame's
// own thread runs, one item at a time and in order. Its descriptor is readable
// while work waits, so that a toolkit's event loop can watch it too.
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>

class EventQueue {
 public:
  EventQueue();
  ~EventQueue();
  EventQueue(const EventQueue&) = delete;
  EventQueue& operator=(const EventQueue&) = delete;

  // Any thread. False when the work could not be queued.
  bool Post(std::function<void()> in_work) noexcept;
  // The frame's thread: runs what waits, including what that work posts.
  void RunPending();
  // The frame's thread: waits up to the time for work, then runs it.
  void WaitAndRun(std::chrono::milliseconds in_wait);
  // Readable while work waits.
  int Fd() const { return m_fd; }

 private:
  std::mutex m_lock;
  std::deque<std::function<void()>> m_pending;
  int m_fd = -1;
};
