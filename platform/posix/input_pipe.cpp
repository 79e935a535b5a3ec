#include "platform/input_pipe.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tavc::platform {
namespace {

class DescriptorInputPipe final : public InputPipe {
 public:
  DescriptorInputPipe(int in_l_fd, bool in_l_owned) : m_fd_(in_l_fd), m_owned_(in_l_owned) {}
  ~DescriptorInputPipe() override {
    if (m_owned_) Close();
  }
  DescriptorInputPipe(const DescriptorInputPipe&) = delete;
  DescriptorInputPipe& operator=(const DescriptorInputPipe&) = delete;

  std::int64_t Available() override {
    if (m_fd_ < 0) return kBroken;
    // As on Windows, where only a pipe can be peeked at.
    struct stat l_stat {};
    if (fstat(m_fd_, &l_stat) != 0 || !(S_ISFIFO(l_stat.st_mode) || S_ISSOCK(l_stat.st_mode))) return kBroken;
    pollfd l_poll{m_fd_, POLLIN, 0};
    if (poll(&l_poll, 1, 0) < 0) return errno == EINTR ? 0 : kBroken;
    int l_count = 0;
    if (ioctl(m_fd_, FIONREAD, &l_count) != 0 || l_count < 0) return kBroken;
    if (l_count > 0) return l_count;
    // Nothing buffered: a hang-up now means the writer is gone for good.
    if ((l_poll.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return kBroken;
    return 0;
  }

  int ReadByte() override {
    if (m_fd_ < 0) return kEndOfFile;
    unsigned char l_byte = 0;
    ssize_t l_read;
    do {
      l_read = ::read(m_fd_, &l_byte, 1);
    } while (l_read < 0 && errno == EINTR);
    return l_read == 1 ? l_byte : kEndOfFile;
  }

  void Close() override {
    if (m_fd_ < 0) return;
    ::close(m_fd_);
    m_fd_ = -1;
  }

 private:
  int m_fd_;
  bool m_owned_;
};

}  // namespace

InputPipe& ProcessInputPipe() {
  static DescriptorInputPipe l_input(STDIN_FILENO, false);
  return l_input;
}

std::unique_ptr<InputPipe> InputPipeOnDescriptor(int in_l_fd) {
  return std::make_unique<DescriptorInputPipe>(in_l_fd, true);
}

}  // namespace tavc::platform
