#include "wrapper/posix/event_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

EventQueue::EventQueue() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

EventQueue::~EventQueue() {
  if (m_fd >= 0) close(m_fd);
}

bool EventQueue::Post(std::function<void()> in_work) noexcept {
  try {
    const std::lock_guard<std::mutex> l_guard(m_lock);
    m_pending.push_back(std::move(in_work));
  } catch (...) {
    return false;
  }
  const std::uint64_t l_one = 1;
  ssize_t l_written;
  do {
    l_written = write(m_fd, &l_one, sizeof(l_one));
  } while (l_written < 0 && errno == EINTR);
  return true;
}

void EventQueue::RunPending() {
  std::uint64_t l_count = 0;
  while (read(m_fd, &l_count, sizeof(l_count)) < 0 && errno == EINTR) {
  }
  for (;;) {
    std::function<void()> l_work;
    {
      const std::lock_guard<std::mutex> l_guard(m_lock);
      if (m_pending.empty()) return;
      l_work = std::move(m_pending.front());
      m_pending.pop_front();
    }
    l_work();
  }
}

void EventQueue::WaitAndRun(std::chrono::milliseconds in_wait) {
  pollfd l_poll{m_fd, POLLIN, 0};
  if (poll(&l_poll, 1, static_cast<int>(in_wait.count())) < 0 && errno != EINTR) return;
  RunPending();
}
