#include "platform/std_streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace tavc::platform {
namespace {

class Win32StdStreams final : public StdStreams {
 public:
  void PrepareBinaryInput() override {
    _setmode(_fileno(stdin), _O_BINARY);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
  }

  // Straight on the handle behind the runtime's stdin (unbuffered, so the runtime
  // holds nothing back): large reads of exactly what is still missing.
  std::size_t ReadBytes(std::uint8_t* out_l_data, std::size_t in_l_size) override {
    const HANDLE l_input = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin)));
    if (l_input == nullptr || l_input == INVALID_HANDLE_VALUE) return 0;
    std::size_t l_total = 0;
    while (l_total < in_l_size) {
      const DWORD l_wanted = static_cast<DWORD>(std::min<std::size_t>(in_l_size - l_total, MAXDWORD));
      DWORD l_read = 0;
      if (!ReadFile(l_input, out_l_data + l_total, l_wanted, &l_read, nullptr) || l_read == 0) break;
      l_total += l_read;
    }
    return l_total;
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
