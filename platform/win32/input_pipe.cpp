#include "platform/input_pipe.h"

#include <windows.h>

namespace tavc::platform {
namespace {

// Takes the standard-input handle at each call, so that it follows SetStdHandle.
class StdInputPipe final : public InputPipe {
 public:
  std::int64_t Available() override {
    DWORD l_available = 0;
    if (!PeekNamedPipe(Handle(), nullptr, 0, nullptr, &l_available, nullptr)) return kBroken;
    return static_cast<std::int64_t>(l_available);
  }

  // A plain read of one byte: the peek said it is there, so this never blocks.
  int ReadByte() override {
    unsigned char l_byte = 0;
    DWORD l_read = 0;
    if (!ReadFile(Handle(), &l_byte, 1, &l_read, nullptr) || l_read != 1) return kEndOfFile;
    return l_byte;
  }

  void Close() override {
    const HANDLE l_handle = Handle();
    if (l_handle == nullptr) return;
    // The closed value may be reused by the system; nobody may peek at it again.
    SetStdHandle(STD_INPUT_HANDLE, nullptr);
    CloseHandle(l_handle);
  }

 private:
  static HANDLE Handle() {
    const HANDLE l_handle = GetStdHandle(STD_INPUT_HANDLE);
    return l_handle == INVALID_HANDLE_VALUE ? nullptr : l_handle;
  }
};

}  // namespace

InputPipe& ProcessInputPipe() {
  static StdInputPipe l_input;
  return l_input;
}

}  // namespace tavc::platform
