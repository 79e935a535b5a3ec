// The Linux TAV_Wrapper program as the browser runs it: installed beside a
// stand-in TAV, its own answers, the relay, and one run at a time per user.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/unit/core/fake_std_streams.h"

namespace {

namespace fs = std::filesystem;
using tavc::test::Frame;

// One runtime folder (the one-run lock's) per test program: the runs of one test
// share the lock. It goes with the test program.
fs::path RuntimeFolder() { return fs::temp_directory_path() / ("tav-wrapper-run-" + std::to_string(getpid())); }
struct RuntimeFolderRemoval {
  ~RuntimeFolderRemoval() {
    std::error_code l_error;
    fs::remove_all(RuntimeFolder(), l_error);
  }
} g_runtimeFolderRemoval;

// TAV_Wrapper and the stand-in as "TAV" in a folder of their own.
class Installed {
 public:
  explicit Installed(const std::string& in_behaviour)
      : m_folder(fs::temp_directory_path() / ("tav-wrapper-" + std::to_string(getpid()) + "-" +
                                              std::to_string(++s_count))) {
    fs::create_directories(m_folder);
    fs::create_directories(RuntimeFolder());
    fs::permissions(RuntimeFolder(), fs::perms::owner_all);
    fs::copy_file(TAV_WRAPPER_PATH, m_folder / "TAV_Wrapper");
    fs::copy_file(TAV_STANDIN_PATH, m_folder / "TAV");
    m_environment = {"TAV_STANDIN=" + in_behaviour, "TAV_STANDIN_LOG=" + (m_folder / "standin.log").string(),
                     "XDG_RUNTIME_DIR=" + RuntimeFolder().string(), "QT_QPA_PLATFORM=offscreen"};
  }
  ~Installed() {
    std::error_code l_error;
    fs::remove_all(m_folder, l_error);
  }

  // Starts the wrapper with pipes for its standard input and output.
  struct Run {
    pid_t pid = -1;
    int input = -1;
    int output = -1;
  };
  Run Start() const {
    int l_in[2];
    int l_out[2];
    if (pipe2(l_in, O_CLOEXEC) != 0 || pipe2(l_out, O_CLOEXEC) != 0) std::abort();
    posix_spawn_file_actions_t l_actions;
    posix_spawn_file_actions_init(&l_actions);
    posix_spawn_file_actions_adddup2(&l_actions, l_in[0], 0);
    posix_spawn_file_actions_adddup2(&l_actions, l_out[1], 1);
    std::vector<char*> l_environment;
    for (const std::string& l_entry : m_environment) l_environment.push_back(const_cast<char*>(l_entry.c_str()));
    l_environment.push_back(nullptr);
    const std::string l_program = (m_folder / "TAV_Wrapper").string();
    char* const l_argv[] = {const_cast<char*>(l_program.c_str()), nullptr};
    Run l_run;
    if (posix_spawn(&l_run.pid, l_program.c_str(), &l_actions, nullptr, l_argv, l_environment.data()) != 0) std::abort();
    posix_spawn_file_actions_destroy(&l_actions);
    close(l_in[0]);
    close(l_out[1]);
    l_run.input = l_in[1];
    l_run.output = l_out[0];
    return l_run;
  }

  std::string Log() const {
    std::ifstream l_file(m_folder / "standin.log");
    return std::string(std::istreambuf_iterator<char>(l_file), {});
  }

 private:
  static inline int s_count = 0;
  fs::path m_folder;
  std::vector<std::string> m_environment;
};

void Send(int in_fd, const std::vector<std::uint8_t>& in_bytes) {
  ASSERT_EQ(static_cast<ssize_t>(in_bytes.size()), write(in_fd, in_bytes.data(), in_bytes.size()));
}

// Reads until the output has the bytes' count or the time is up.
std::vector<std::uint8_t> ReadFor(int in_fd, std::size_t in_count, std::chrono::milliseconds in_limit) {
  std::vector<std::uint8_t> l_bytes;
  const auto l_end = std::chrono::steady_clock::now() + in_limit;
  while (l_bytes.size() < in_count && std::chrono::steady_clock::now() < l_end) {
    pollfd l_poll{in_fd, POLLIN, 50};
    if (poll(&l_poll, 1, 50) <= 0) continue;
    std::uint8_t l_piece[4096];
    const ssize_t l_read = read(in_fd, l_piece, sizeof(l_piece));
    if (l_read <= 0) break;
    l_bytes.insert(l_bytes.end(), l_piece, l_piece + l_read);
  }
  return l_bytes;
}

// The exit code once the program has ended; -1 when it is still running then.
int ExitCode(pid_t in_pid, std::chrono::milliseconds in_limit) {
  const auto l_end = std::chrono::steady_clock::now() + in_limit;
  int l_status = 0;
  while (waitpid(in_pid, &l_status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > l_end) {
      kill(in_pid, SIGKILL);
      waitpid(in_pid, &l_status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(l_status) ? WEXITSTATUS(l_status) : -1;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> in_values) {
  std::vector<std::uint8_t> l_bytes;
  for (const int l_value : in_values) l_bytes.push_back(static_cast<std::uint8_t>(l_value));
  return l_bytes;
}

TEST(WrapperProgram, RequestsItRefusesAreAnsweredWithoutStartingTav) {
  struct Case {
    std::vector<std::uint8_t> input;
    std::string answer;
  } const l_cases[] = {
      {Bytes({0x01, 0x00, 0x10, 0x00}), R"({"mode":"01","result":"1","errcode":"EW042-1200"})"},
      {Bytes({0x02, 0, 0, 0, 0xC0, 0xAF}), R"({"mode":"01","result":"1","errcode":"EW042-1201"})"},
      {Frame(R"({"mode":"02","digest":"AAE=","file_path":"/etc/passwd","file_password":"x"})"),
       R"({"mode":"02","result":"1","errcode":"EW042-1201"})"},
  };
  for (const Case& l_case : l_cases) {
    const Installed l_installed("hold");
    const Installed::Run l_run = l_installed.Start();
    Send(l_run.input, l_case.input);
    close(l_run.input);
    EXPECT_EQ(Frame(l_case.answer), ReadFor(l_run.output, SIZE_MAX, std::chrono::seconds(10))) << l_case.answer;
    EXPECT_EQ(0, ExitCode(l_run.pid, std::chrono::seconds(10)));
    EXPECT_EQ(std::string(), l_installed.Log()) << "TAV never started";
    close(l_run.output);
  }
}

// A log-in run whose stand-in TAV answers: the page gets that answer, the wrapper ends after its loop.
void ExpectRelayed(const std::string& in_answer) {
  const Installed l_installed("answer:" + in_answer);
  const Installed::Run l_run = l_installed.Start();
  Send(l_run.input, Frame(R"({"mode":"01","digest":"AAE="})"));
  EXPECT_EQ(Frame(in_answer), ReadFor(l_run.output, SIZE_MAX, std::chrono::seconds(10)));
  EXPECT_EQ(1, ExitCode(l_run.pid, std::chrono::seconds(10)));
  close(l_run.input);
  close(l_run.output);
}

TEST(WrapperProgram, TavBesideItGetsTheRequestAndItsAnswerReachesThePage) {
  ExpectRelayed(R"({"mode":"01","result":"0","signature":"AA=="})");
}

TEST(WrapperProgram, ASecondRunIsRefusedAtOnceAndItsBoxGoesWithThePage) {
  const Installed l_installed("hold");
  const Installed::Run l_first = l_installed.Start();
  Send(l_first.input, Frame(R"({"mode":"01","digest":"AAE="})"));
  for (int l_i = 0; l_i < 500 && l_installed.Log().find("request ") == std::string::npos; ++l_i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const Installed::Run l_second = l_installed.Start();
  Send(l_second.input, Frame(R"({"mode":"03","digest":"AAE="})"));
  const std::string l_busy = R"({"mode":"03","result":"1","errcode":"EW040-0200"})";
  EXPECT_EQ(Frame(l_busy), ReadFor(l_second.output, Frame(l_busy).size(), std::chrono::seconds(10)));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(0, waitpid(l_second.pid, nullptr, WNOHANG)) << "the box stays while the page is there";
  close(l_second.input);
  EXPECT_EQ(0, ExitCode(l_second.pid, std::chrono::seconds(10)));
  close(l_second.output);

  // Once the first run has ended, the next one is not refused.
  close(l_first.input);
  EXPECT_EQ(1, ExitCode(l_first.pid, std::chrono::seconds(10)));
  close(l_first.output);
  ExpectRelayed(R"({"mode":"01","result":"0"})");
}

}  // namespace
