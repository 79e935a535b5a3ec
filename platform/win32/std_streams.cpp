#include "platform/std_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace tavc::platform {
namespace {

class Win32StdStreams final : public StdStreams {
 public:
  void PrepareBinaryInput() override {
    _setmode(_fileno(stdin), _O_BINARY);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
  }

  int ReadByte() override {
    const int l_c = std::getc(stdin);
    return l_c == EOF ? kEndOfFile : l_c;
  }

  bool WriteAll(const std::uint8_t* in_l_data, std::size_t in_l_size) override {
    if (in_l_size > MAXDWORD) return false;
    const HANDLE l_output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (l_output == nullptr || l_output == INVALID_HANDLE_VALUE) return false;
    DWORD l_written = 0;
    if (!WriteFile(l_output, in_l_data, static_cast<DWORD>(in_l_size), &l_written, nullptr)) return false;
    return l_written == in_l_size;
  }
};

}  // namespace

StdStreams& ProcessStdStreams() {
  static Win32StdStreams l_streams;
  return l_streams;
}

}  // namespace tavc::platform
