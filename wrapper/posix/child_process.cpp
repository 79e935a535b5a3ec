#include "wrapper/posix/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

extern char** environ;

namespace {

void CloseIfOpen(int& io_fd) {
  if (io_fd >= 0) close(io_fd);
  io_fd = -1;
}

// The file actions and attributes of one spawn, released on every path.
class SpawnSetup {
 public:
  SpawnSetup() {
    m_ready = posix_spawn_file_actions_init(&m_actions) == 0;
    if (posix_spawnattr_init(&m_attributes) != 0) {
      if (m_ready) posix_spawn_file_actions_destroy(&m_actions);
      m_ready = false;
    }
  }
  ~SpawnSetup() {
    if (!m_ready) return;
    posix_spawn_file_actions_destroy(&m_actions);
    posix_spawnattr_destroy(&m_attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // dup2 onto 0, 1 and 2 clears close-on-exec on those three; whatever else
  // the wrapper itself was given without close-on-exec is closed.
  bool Prepare(int in_stdin, int in_stdout, int in_stderr) {
    sigset_t l_default;
    sigset_t l_none;
    sigemptyset(&l_default);
    sigaddset(&l_default, SIGPIPE);
    sigemptyset(&l_none);
    return m_ready && posix_spawn_file_actions_adddup2(&m_actions, in_stdin, STDIN_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&m_actions, in_stdout, STDOUT_FILENO) == 0 &&
           posix_spawn_file_actions_adddup2(&m_actions, in_stderr, STDERR_FILENO) == 0 &&
           posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1) == 0 &&
           posix_spawnattr_setsigdefault(&m_attributes, &l_default) == 0 &&
           posix_spawnattr_setsigmask(&m_attributes, &l_none) == 0 &&
           posix_spawnattr_setpgroup(&m_attributes, 0) == 0 &&
           posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK |
                                                       POSIX_SPAWN_SETPGROUP) == 0;
  }
  const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
  const posix_spawnattr_t* Attributes() const { return &m_attributes; }

 private:
  bool m_ready = false;
  posix_spawn_file_actions_t m_actions{};
  posix_spawnattr_t m_attributes{};
};

}  // namespace

ChildStart CreateChildProcess(const std::string& in_program, ChildProcess& out_child) {
  int l_output[2] = {-1, -1};
  int l_input[2] = {-1, -1};
  int l_null = -1;
  ChildStart l_start = ChildStart::kStarted;
  SpawnSetup l_setup;
  pid_t l_pid = -1;
  if (pipe2(l_output, O_CLOEXEC) != 0) {
    l_start = ChildStart::kOutputPipe;
  } else if ((l_null = open("/dev/null", O_WRONLY | O_CLOEXEC)) < 0) {
    l_start = ChildStart::kNullDevice;
  } else if (pipe2(l_input, O_CLOEXEC) != 0 || fcntl(l_input[1], F_SETFL, O_NONBLOCK) != 0) {
    l_start = ChildStart::kInputPipe;
  } else if (in_program.empty() || !l_setup.Prepare(l_input[0], l_output[1], l_null)) {
    l_start = ChildStart::kSpawnSetup;
  } else {
    char* const l_argv[] = {const_cast<char*>(in_program.c_str()), nullptr};
    if (posix_spawn(&l_pid, in_program.c_str(), l_setup.Actions(), l_setup.Attributes(), l_argv, environ) != 0) {
      l_start = ChildStart::kProcess;
    }
  }
  // The child's ends are the child's alone from here.
  CloseIfOpen(l_output[1]);
  CloseIfOpen(l_input[0]);
  CloseIfOpen(l_null);
  if (l_start != ChildStart::kStarted) {
    CloseIfOpen(l_output[0]);
    CloseIfOpen(l_input[1]);
    return l_start;
  }
  out_child.input = l_input[1];
  out_child.output = l_output[0];
  out_child.pid = l_pid;
  return l_start;
}

bool WaitForChildEnd(pid_t in_pid, std::chrono::milliseconds in_wait) {
  const auto l_deadline = std::chrono::steady_clock::now() + in_wait;
  for (;;) {
    int l_status = 0;
    const pid_t l_done = waitpid(in_pid, &l_status, WNOHANG);
    if (l_done == in_pid || (l_done < 0 && errno == ECHILD)) return true;
    if (l_done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= l_deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string ProgramBesideSelf(const std::string& in_name) {
  std::error_code l_error;
  const std::filesystem::path l_self = std::filesystem::read_symlink("/proc/self/exe", l_error);
  if (l_error || !l_self.has_parent_path()) return std::string();
  return (l_self.parent_path() / in_name).string();
}
