#include "host/flow/message_queue.h"

namespace tavc {

bool MessageQueue::Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    if (m_closed_) return false;
    m_messages_.push_back(QueuedMessage{in_l_message, in_l_wparam, in_l_lparam});
  }
  m_posted_.notify_one();
  return true;
}

bool MessageQueue::Get(QueuedMessage& out_l_message) {
  std::unique_lock<std::mutex> l_lock(m_mutex_);
  m_posted_.wait(l_lock, [this] { return m_closed_ || !m_messages_.empty(); });
  if (m_messages_.empty()) return false;
  out_l_message = m_messages_.front();
  m_messages_.pop_front();
  return true;
}

bool MessageQueue::GetFor(QueuedMessage& out_l_message, std::chrono::milliseconds in_l_limit) {
  std::unique_lock<std::mutex> l_lock(m_mutex_);
  m_posted_.wait_for(l_lock, in_l_limit, [this] { return m_closed_ || !m_messages_.empty(); });
  if (m_messages_.empty()) return false;
  out_l_message = m_messages_.front();
  m_messages_.pop_front();
  return true;
}

void MessageQueue::Close() {
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    m_closed_ = true;
  }
  m_posted_.notify_all();
}

}  // namespace tavc
