#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/std_streams.h"

namespace {

// An anonymous pipe whose ends close with the object.
struct Pipe {
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  Pipe() { EXPECT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 1 << 16)); }
  ~Pipe() {
    if (read_end != nullptr) CloseHandle(read_end);
    if (write_end != nullptr) CloseHandle(write_end);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
};

std::vector<std::uint8_t> ReadAvailable(HANDLE in_l_pipe) {
  std::vector<std::uint8_t> l_bytes;
  DWORD l_available = 0;
  while (PeekNamedPipe(in_l_pipe, nullptr, 0, nullptr, &l_available, nullptr) && l_available > 0) {
    std::uint8_t l_chunk[256];
    DWORD l_read = 0;
    if (!ReadFile(in_l_pipe, l_chunk, sizeof(l_chunk), &l_read, nullptr) || l_read == 0) break;
    l_bytes.insert(l_bytes.end(), l_chunk, l_chunk + l_read);
  }
  return l_bytes;
}

// Points the process's standard output handle elsewhere for one test.
class StdOutRedirect {
 public:
  explicit StdOutRedirect(HANDLE in_l_handle) : m_saved_(GetStdHandle(STD_OUTPUT_HANDLE)) {
    SetStdHandle(STD_OUTPUT_HANDLE, in_l_handle);
  }
  ~StdOutRedirect() { SetStdHandle(STD_OUTPUT_HANDLE, m_saved_); }
  StdOutRedirect(const StdOutRedirect&) = delete;
  StdOutRedirect& operator=(const StdOutRedirect&) = delete;

 private:
  HANDLE m_saved_;
};

TEST(StdStreamsWrite, WritesEveryByteUnchanged) {
  Pipe l_pipe;
  // Line ends, a NUL and a Ctrl-Z must pass untouched: the answer frame is binary.
  const std::vector<std::uint8_t> l_frame = {0x05, 0x00, 0x00, 0x00, '{', '\r', '\n', 0x1A, '}', 0x00};
  {
    StdOutRedirect l_redirect(l_pipe.write_end);
    EXPECT_TRUE(tavc::platform::ProcessStdStreams().WriteAll(l_frame.data(), l_frame.size()));
  }
  EXPECT_EQ(ReadAvailable(l_pipe.read_end), l_frame);
}

TEST(StdStreamsWrite, FailsWithoutAnOutputHandle) {
  const std::uint8_t l_byte = 0;
  StdOutRedirect l_redirect(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(tavc::platform::ProcessStdStreams().WriteAll(&l_byte, 1));
}

TEST(StdStreamsWrite, FailsWhenTheReaderIsGone) {
  Pipe l_pipe;
  CloseHandle(l_pipe.read_end);
  l_pipe.read_end = nullptr;
  const std::uint8_t l_bytes[4] = {1, 2, 3, 4};
  StdOutRedirect l_redirect(l_pipe.write_end);
  EXPECT_FALSE(tavc::platform::ProcessStdStreams().WriteAll(l_bytes, sizeof(l_bytes)));
}

// Standard input replaced by a pipe holding bytes that text mode would alter
// (CR LF joined, Ctrl-Z taken as end of file).
TEST(StdStreamsRead, ReadsBinaryBytesThenEndOfFile) {
  const std::uint8_t l_sent[] = {0x0D, 0x0A, 0x1A, 0x00, 0xFF, 0x0D, 'x'};
  Pipe l_pipe;
  DWORD l_written = 0;
  ASSERT_TRUE(WriteFile(l_pipe.write_end, l_sent, sizeof(l_sent), &l_written, nullptr));
  CloseHandle(l_pipe.write_end);
  l_pipe.write_end = nullptr;

  const int l_saved_stdin = _dup(_fileno(stdin));
  ASSERT_GE(l_saved_stdin, 0);
  const int l_pipe_fd = _open_osfhandle(reinterpret_cast<intptr_t>(l_pipe.read_end), _O_RDONLY);
  ASSERT_GE(l_pipe_fd, 0);
  l_pipe.read_end = nullptr;  // owned by the descriptor now
  ASSERT_EQ(_dup2(l_pipe_fd, _fileno(stdin)), 0);
  _close(l_pipe_fd);

  tavc::platform::StdStreams& l_streams = tavc::platform::ProcessStdStreams();
  l_streams.PrepareBinaryInput();
  // Asking for more than was sent returns what there is at end of input.
  std::vector<std::uint8_t> l_received(2 * sizeof(l_sent));
  l_received.resize(l_streams.ReadBytes(l_received.data(), l_received.size()));
  EXPECT_EQ(l_received, std::vector<std::uint8_t>(l_sent, l_sent + sizeof(l_sent)));

  _dup2(l_saved_stdin, _fileno(stdin));
  _close(l_saved_stdin);
  clearerr(stdin);
}

}  // namespace
