#include "wrapper/posix/fd_channel.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

// Waits until the descriptor is ready for the events (or has hung up or
// failed, which the next read or write reports); false once stopped.
bool WaitReady(int in_fd, short in_events, const StopSignal& in_stop) {
  if (!in_stop.IsValid()) return false;
  pollfd l_polls[2] = {{in_fd, in_events, 0}, {in_stop.Fd(), POLLIN, 0}};
  for (;;) {
    const int l_ready = poll(l_polls, 2, -1);
    if (l_ready < 0 && errno == EINTR) continue;
    if (l_ready < 0 || (l_polls[1].revents & POLLIN) != 0) return false;
    if (l_polls[0].revents != 0) return true;
  }
}

}  // namespace

std::size_t FdSource::ReadSome(std::uint8_t* out_data, std::size_t in_size) {
  const std::size_t l_wanted = std::min<std::size_t>(in_size, SSIZE_MAX);
  for (;;) {
    if (!WaitReady(m_fd, POLLIN, m_stop)) return 0;
    const ssize_t l_read = read(m_fd, out_data, l_wanted);
    if (l_read >= 0) return static_cast<std::size_t>(l_read);
    if (errno != EINTR && errno != EAGAIN) return 0;
  }
}

bool FdSink::WriteAll(const std::uint8_t* in_data, std::size_t in_size) {
  std::size_t l_done = 0;
  while (l_done < in_size) {
    if (!WaitReady(m_fd, POLLOUT, m_stop)) return false;
    const ssize_t l_written = write(m_fd, in_data + l_done, std::min<std::size_t>(in_size - l_done, SSIZE_MAX));
    if (l_written > 0) {
      l_done += static_cast<std::size_t>(l_written);
    } else if (l_written < 0 && errno != EINTR && errno != EAGAIN) {
      return false;
    }
  }
  return true;
}
