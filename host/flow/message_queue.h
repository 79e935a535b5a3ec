#pragma once
// The frame's message queue where there is no window: posts from any thread,
// taken one at a time by the thread that runs the loop.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "host/state/message_poster.h"

namespace tavc {

struct QueuedMessage {
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

class MessageQueue final : public MessagePoster {
 public:
  // False once the queue was closed: the frame is gone and the message is lost.
  bool Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) override;
  // Waits for the next message; false when the queue is closed and empty.
  bool Get(QueuedMessage& out_l_message);
  // As Get, waiting at most the given time.
  bool GetFor(QueuedMessage& out_l_message, std::chrono::milliseconds in_l_limit);
  // Refuses further posts and wakes the loop.
  void Close();

 private:
  std::mutex m_mutex_;
  std::condition_variable m_posted_;
  std::deque<QueuedMessage> m_messages_;
  bool m_closed_ = false;
};

}  // namespace tavc
