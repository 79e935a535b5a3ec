#include "wrapper/posix/stop_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

StopSignal::StopSignal() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
  if (m_fd >= 0) close(m_fd);
}

void StopSignal::Set() {
  if (m_fd < 0) return;
  // Never read back: once set, the descriptor stays readable for every poll.
  const std::uint64_t l_one = 1;
  ssize_t l_written;
  do {
    l_written = write(m_fd, &l_one, sizeof(l_one));
  } while (l_written < 0 && errno == EINTR);
}

bool StopSignal::IsSet() const {
  if (m_fd < 0) return true;
  pollfd l_poll{m_fd, POLLIN, 0};
  int l_ready;
  do {
    l_ready = poll(&l_poll, 1, 0);
  } while (l_ready < 0 && errno == EINTR);
  return l_ready != 0;
}
