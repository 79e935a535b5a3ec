#include "platform/std_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tavc::platform {
namespace {

class PosixStdStreams final : public StdStreams {
 public:
  void PrepareBinaryInput() override { std::setvbuf(stdin, nullptr, _IONBF, 0); }

  std::size_t ReadBytes(std::uint8_t* out_l_data, std::size_t in_l_size) override {
    std::size_t l_total = 0;
    while (l_total < in_l_size) {
      const ssize_t l_read = ::read(STDIN_FILENO, out_l_data + l_total, in_l_size - l_total);
      if (l_read < 0 && errno == EINTR) continue;
      if (l_read <= 0) break;
      l_total += static_cast<std::size_t>(l_read);
    }
    return l_total;
  }

  bool WriteAll(const std::uint8_t* in_l_data, std::size_t in_l_size) override {
    ssize_t l_written;
    do {
      l_written = ::write(STDOUT_FILENO, in_l_data, in_l_size);
    } while (l_written < 0 && errno == EINTR);
    return l_written >= 0 && static_cast<std::size_t>(l_written) == in_l_size;
  }
};

}  // namespace

StdStreams& ProcessStdStreams() {
  static PosixStdStreams l_streams;
  return l_streams;
}

}  // namespace tavc::platform
