#pragma once
// A frame that only records what was posted to it, for threads that post.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "host/state/message_poster.h"

namespace tavc::test {

struct PostedMessage {
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

class RecordingPoster : public MessagePoster {
 public:
  bool Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) override {
    {
      std::lock_guard<std::mutex> l_lock(m_mutex_);
      m_posted_.push_back(PostedMessage{in_l_message, in_l_wparam, in_l_lparam});
    }
    m_changed_.notify_all();
    return true;
  }

  // Waits until at least `in_l_count` messages were posted; false on time-out.
  bool WaitForPosts(std::size_t in_l_count, std::chrono::milliseconds in_l_limit = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> l_lock(m_mutex_);
    return m_changed_.wait_for(l_lock, in_l_limit, [&] { return m_posted_.size() >= in_l_count; });
  }

  std::vector<PostedMessage> Posted() {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    return m_posted_;
  }

 private:
  std::mutex m_mutex_;
  std::condition_variable m_changed_;
  std::vector<PostedMessage> m_posted_;
};

}  // namespace tavc::test
