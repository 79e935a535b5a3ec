// Frames over descriptors: whole under a storm of signals (EINTR), and every
// wait ends when its stop signal is set, whatever the peer does.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/unit/core/fake_std_streams.h"
#include "wrapper/posix/child_process.h"
#include "wrapper/posix/fd_channel.h"

namespace {

using std::chrono::milliseconds;

struct Pipe {
  Pipe() {
    if (pipe2(fds, O_CLOEXEC) != 0) std::abort();
  }
  ~Pipe() {
    for (int l_fd : fds) {
      if (l_fd >= 0) close(l_fd);
    }
  }
  int fds[2] = {-1, -1};
};

// Interrupts a thread's system calls with a signal whose handler does not
// restart them, every 100 microseconds, for as long as it lives. The handler
// stays for the test program's life: storms on two threads overlap.
class SignalStorm {
 public:
  explicit SignalStorm(pthread_t in_target) : m_target(in_target) {
    static const bool s_installed = [] {
      struct sigaction l_action {};
      l_action.sa_handler = [](int) {};
      return sigaction(SIGUSR1, &l_action, nullptr) == 0;
    }();
    EXPECT_TRUE(s_installed);
    m_thread = std::thread([this] {
      while (!m_stop) {
        pthread_kill(m_target, SIGUSR1);
        ++hits;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    });
  }
  ~SignalStorm() {
    m_stop = true;
    m_thread.join();
  }
  std::atomic<int> hits{0};

 private:
  pthread_t m_target;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

TEST(FdChannel, AFrameAtTheLimitCrossesAPipeWholeWhileSignalsInterruptBothSides) {
  Pipe l_pipe;
  fcntl(l_pipe.fds[1], F_SETFL, O_NONBLOCK);
  const StopSignal l_stop;
  std::string l_json = "{\"digest\":\"";
  l_json.resize(kMaxFrameSize - 2, 'x');
  l_json += "\"}";
  ReceiveData l_sent;
  l_sent.SetDataSize(1);
  l_sent.SetData(std::wstring(l_json.begin(), l_json.end()));

  std::atomic<bool> l_written{false};
  std::thread l_writer([&] {
    SignalStorm l_storm(pthread_self());
    FdSink l_sink(l_pipe.fds[1], l_stop);
    // Slow reads make the writer wait in poll, where the signals land.
    l_written = WriteFrame(l_sink, l_sent) == WriteOutcome::kWritten;
  });
  ReceiveData l_got;
  FrameStatus l_status;
  {
    SignalStorm l_storm(pthread_self());
    FdSource l_source(l_pipe.fds[0], l_stop);
    l_status = ReadFrame(l_source, l_got);
    EXPECT_GT(l_storm.hits, 0) << "the storm ran while the frame was read";
  }
  l_writer.join();
  EXPECT_TRUE(l_written);
  ASSERT_EQ(FrameStatus::kFrame, l_status);
  EXPECT_EQ(l_sent.GetData(), l_got.GetData());
}

TEST(FdChannel, TheStopSignalEndsAReadAndAWriteThatWouldWaitForEver) {
  Pipe l_silent;  // nobody writes into it
  Pipe l_full;    // nobody reads from it
  fcntl(l_full.fds[1], F_SETFL, O_NONBLOCK);
  StopSignal l_stop;
  std::size_t l_read = 1;
  bool l_written = true;
  std::thread l_reader([&] {
    std::uint8_t l_byte;
    l_read = FdSource(l_silent.fds[0], l_stop).ReadSome(&l_byte, 1);
  });
  std::thread l_writer([&] {
    const std::vector<std::uint8_t> l_bytes(0x100000, 1);
    l_written = FdSink(l_full.fds[1], l_stop).WriteAll(l_bytes.data(), l_bytes.size());
  });
  std::this_thread::sleep_for(milliseconds(50));
  l_stop.Set();
  l_reader.join();
  l_writer.join();
  EXPECT_EQ(0U, l_read);
  EXPECT_FALSE(l_written);
  EXPECT_TRUE(l_stop.IsSet());
}

TEST(FdChannel, AWriteToAReaderThatHasGoneFailsWithoutEndingTheProcess) {
  signal(SIGPIPE, SIG_IGN);
  Pipe l_pipe;
  close(l_pipe.fds[0]);
  l_pipe.fds[0] = -1;
  const StopSignal l_stop;
  const std::uint8_t l_byte = 1;
  EXPECT_FALSE(FdSink(l_pipe.fds[1], l_stop).WriteAll(&l_byte, 1));
}

TEST(ChildEnd, WaitingForAChildIsBoundedAndSurvivesSignals) {
  const pid_t l_sleeper = fork();
  if (l_sleeper == 0) {
    pause();
    _exit(0);
  }
  {
    SignalStorm l_storm(pthread_self());
    const auto l_start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitForChildEnd(l_sleeper, milliseconds(200)));
    EXPECT_LT(std::chrono::steady_clock::now() - l_start, milliseconds(1000));
    kill(l_sleeper, SIGKILL);
    EXPECT_TRUE(WaitForChildEnd(l_sleeper, milliseconds(2000)));
  }
  EXPECT_TRUE(WaitForChildEnd(l_sleeper, milliseconds(0))) << "an ended and reaped child counts as ended";
}

TEST(ChildStartPosix, AProgramThatCannotRunLeavesNothingOpen) {
  const int l_before = open("/dev/null", O_RDONLY | O_CLOEXEC);
  close(l_before);
  for (const char* l_program : {"", "/nonexistent/TAV", "/etc/hostname"}) {
    ChildProcess l_child;
    EXPECT_NE(ChildStart::kStarted, CreateChildProcess(l_program, l_child)) << l_program;
    EXPECT_EQ(-1, l_child.pid);
    EXPECT_EQ(-1, l_child.input);
    const int l_next = open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(l_before, l_next) << "no descriptor left behind: " << l_program;
    close(l_next);
  }
}

}  // namespace
