#include "platform/std_streams.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tavc::platform {
namespace {

class PosixStdStreams final : public StdStreams {
 public:
  void PrepareBinaryInput() override { std::setvbuf(stdin, nullptr, _IONBF, 0); }

  int ReadByte() override {
    const int l_c = std::getc(stdin);
    return l_c == EOF ? kEndOfFile : l_c;
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
