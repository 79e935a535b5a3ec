#pragma once
// Standard input after the request, fed by a test while the watcher reads it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/input_pipe.h"

namespace tavc::test {

class ScriptedInput : public platform::InputPipe {
 public:
  void Feed(const std::vector<std::uint8_t>& in_l_bytes) {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    m_bytes_.insert(m_bytes_.end(), in_l_bytes.begin(), in_l_bytes.end());
  }
  void Feed(const std::string& in_l_text) { Feed(std::vector<std::uint8_t>(in_l_text.begin(), in_l_text.end())); }
  // The next read after what is fed so far reports end of file.
  void FeedEndOfFile() {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    m_bytes_.push_back(kEndOfFile);
  }
  // The read that reaches this point throws, as a failing allocation would.
  void FeedFailure() {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    m_bytes_.push_back(kFailure);
  }
  void Break() {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    m_broken_ = true;
  }

  std::int64_t Available() override {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    if (m_closed_) return kBroken;
    if (!m_bytes_.empty()) return static_cast<std::int64_t>(m_bytes_.size());
    return m_broken_ ? kBroken : 0;
  }
  int ReadByte() override {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    if (m_bytes_.empty()) return kEndOfFile;
    const int l_byte = m_bytes_.front();
    m_bytes_.pop_front();
    if (l_byte == kFailure) throw std::bad_alloc();
    return l_byte;
  }
  void Close() override {
    {
      std::lock_guard<std::mutex> l_lock(m_mutex_);
      m_closed_ = true;
    }
    m_closed_changed_.notify_all();
  }

  bool WaitClosed(std::chrono::milliseconds in_l_limit = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> l_lock(m_mutex_);
    return m_closed_changed_.wait_for(l_lock, in_l_limit, [&] { return m_closed_; });
  }
  std::size_t Unread() {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    return m_bytes_.size();
  }

 private:
  static constexpr int kFailure = -2;

  std::mutex m_mutex_;
  std::condition_variable m_closed_changed_;
  std::deque<int> m_bytes_;
  bool m_broken_ = false;
  bool m_closed_ = false;
};

}  // namespace tavc::test
