#include "tools/cardsim/harness/pcscd_harness.h"

#include <PCSC/winscard.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace tavc::cardsim {
namespace {

constexpr char kLockPath[] = "/tmp/tavori-pcscd.lock";
constexpr char kPcscdSocket[] = "/run/pcscd/pcscd.comm";
constexpr char kPcscdPidFile[] = "/run/pcscd/pcscd.pid";

pid_t Spawn(const std::vector<std::string>& in_l_arguments, int in_l_stdin, int in_l_stdout) {
  std::vector<char*> l_argv;
  for (const std::string& l_argument : in_l_arguments) {
    l_argv.push_back(const_cast<char*>(l_argument.c_str()));
  }
  l_argv.push_back(nullptr);
  const pid_t l_pid = fork();
  if (l_pid == 0) {
    if (in_l_stdin >= 0) dup2(in_l_stdin, STDIN_FILENO);
    if (in_l_stdout >= 0) {
      dup2(in_l_stdout, STDOUT_FILENO);
      dup2(in_l_stdout, STDERR_FILENO);
    }
    execv(l_argv[0], l_argv.data());
    _exit(127);
  }
  return l_pid;
}

void Terminate(pid_t& io_l_pid) {
  if (io_l_pid <= 0) return;
  kill(io_l_pid, SIGTERM);
  int l_status = 0;
  for (int l_i = 0; l_i < 50; ++l_i) {
    if (waitpid(io_l_pid, &l_status, WNOHANG) == io_l_pid) {
      io_l_pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(io_l_pid, SIGKILL);
  waitpid(io_l_pid, &l_status, 0);
  io_l_pid = -1;
}

bool Exists(const char* in_l_path) {
  struct stat l_stat {};
  return stat(in_l_path, &l_stat) == 0;
}

std::vector<std::string> ListReaders() {
  std::vector<std::string> l_names;
  SCARDCONTEXT l_context = 0;
  if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &l_context) != SCARD_S_SUCCESS) {
    return l_names;
  }
  char l_buffer[4096];
  DWORD l_size = sizeof l_buffer;
  if (SCardListReaders(l_context, nullptr, l_buffer, &l_size) == SCARD_S_SUCCESS) {
    for (const char* l_name = l_buffer; *l_name != '\0' && l_name < l_buffer + l_size;
         l_name += std::strlen(l_name) + 1) {
      l_names.push_back(l_name);
    }
  }
  SCardReleaseContext(l_context);
  return l_names;
}

// A pcscd that died without cleaning up leaves its socket and pid file behind,
// and a new pcscd refuses to start beside them.
void RemoveStaleSocket() {
  std::ifstream l_file(kPcscdPidFile);
  long l_pid = 0;
  if (!(l_file >> l_pid) || l_pid <= 0) return;
  if (kill(static_cast<pid_t>(l_pid), 0) == 0 || errno != ESRCH) return;
  unlink(kPcscdSocket);
  unlink(kPcscdPidFile);
}

// Waits for the daemon's "ready" line, printed once its cards are built and
// its reader threads started.
int WaitForReady(const std::string& in_l_log) {
  const auto l_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < l_deadline) {
    std::ifstream l_file(in_l_log);
    const std::string l_text((std::istreambuf_iterator<char>(l_file)), {});
    if (l_text.find("cardsim-daemon ready") != std::string::npos) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 1;
}

}  // namespace

PcscdHarness::~PcscdHarness() {
  Stop();
  RemoveDirectory();
}

int PcscdHarness::Start(const PcscdHarnessOptions& in_l_options, std::string& out_l_error) {
  Stop();
  RemoveDirectory();
  const int l_result = Launch(in_l_options, out_l_error);
  m_keep_directory_ = l_result != 0;
  return l_result;
}

void PcscdHarness::RemoveDirectory() {
  if (!m_directory_.empty() && !m_keep_directory_) {
    std::error_code l_error;
    std::filesystem::remove_all(m_directory_, l_error);
  }
  m_directory_.clear();
  m_keep_directory_ = false;
}

int PcscdHarness::Launch(const PcscdHarnessOptions& in_l_options, std::string& out_l_error) {
  m_lock_fd_ = open(kLockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (m_lock_fd_ < 0 || flock(m_lock_fd_, LOCK_EX) != 0) {
    out_l_error = "cannot lock " + std::string(kLockPath);
    return 1;
  }
  RemoveStaleSocket();
  if (Exists(kPcscdSocket)) {
    out_l_error = "another pcscd is running (" + std::string(kPcscdSocket) + " exists)";
    Stop();
    return 1;
  }
  if (access("/usr/sbin/pcscd", X_OK) != 0 || access("/usr/lib/pcsc/drivers/serial/libifdvpcd.so", R_OK) != 0) {
    out_l_error = "pcscd or the vpcd driver is not installed";
    Stop();
    return 1;
  }
  char l_template[] = "/tmp/cardsim-pcscd-XXXXXX";
  if (mkdtemp(l_template) == nullptr) {
    out_l_error = "cannot create a work directory";
    Stop();
    return 1;
  }
  m_directory_ = l_template;
  // vpcd serves two readers per entry, on the entry's port and the next.
  const std::string l_config_directory = m_directory_ + "/reader.conf.d";
  mkdir(l_config_directory.c_str(), 0755);
  const std::size_t l_count = in_l_options.m_reader_count_ == 0 ? 1 : in_l_options.m_reader_count_;
  {
    std::ofstream l_conf(l_config_directory + "/vpcd");
    for (std::size_t l_entry = 0; l_entry * 2 < l_count; ++l_entry) {
      const std::size_t l_port = in_l_options.m_port_ + 2 * l_entry;
      l_conf << "FRIENDLYNAME \"Virtual PCD\"\n"
             << "DEVICENAME   " << (in_l_options.m_daemon_listens_ ? "127.0.0.1:" : "/dev/null:") << l_port << "\n"
             << "LIBPATH      /usr/lib/pcsc/drivers/serial/libifdvpcd.so\n"
             << "CHANNELID    " << (in_l_options.m_daemon_listens_ ? 0 : l_port) << "\n\n";
    }
  }
  const int l_pcscd_log = open((m_directory_ + "/pcscd.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const int l_daemon_log = open((m_directory_ + "/daemon.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  int l_pipe[2];
  if (l_pcscd_log < 0 || l_daemon_log < 0 || pipe2(l_pipe, O_CLOEXEC) != 0) {
    out_l_error = "cannot create the log files";
    Stop();
    return 1;
  }
  std::vector<std::string> l_daemon = {in_l_options.m_daemon_path_, "--port", std::to_string(in_l_options.m_port_),
                                       "--export-dir", m_directory_};
  if (in_l_options.m_daemon_listens_) l_daemon.push_back("--listen");
  if (!in_l_options.m_key_directory_.empty()) {
    l_daemon.push_back("--key-dir");
    l_daemon.push_back(in_l_options.m_key_directory_);
  }
  l_daemon.insert(l_daemon.end(), in_l_options.m_daemon_arguments_.begin(), in_l_options.m_daemon_arguments_.end());
  if (in_l_options.m_daemon_listens_) {
    // Every vpcd slot connects to its port, and vpcd's connecting side brings
    // pcscd down when that connection is refused or dropped: each slot gets a
    // card that stays in for the whole run.
    std::size_t l_cards = 0;
    for (const std::string& l_argument : in_l_options.m_daemon_arguments_) {
      if (l_argument == "--card") ++l_cards;
    }
    for (; l_cards < (l_count + 1) / 2 * 2; ++l_cards) {
      l_daemon.push_back("--card");
      l_daemon.push_back("mynumber");
    }
  }
  const std::vector<std::string> l_pcscd = {"/usr/sbin/pcscd", "--foreground", "--apdu", "--config",
                                            l_config_directory};
  // A listening daemon must be up before vpcd connects to it; otherwise pcscd first.
  if (in_l_options.m_daemon_listens_) {
    // vpcd's connecting side brings pcscd down when nobody listens, so the
    // daemon must have its ports open first.
    m_daemon_pid_ = Spawn(l_daemon, l_pipe[0], l_daemon_log);
    if (WaitForReady(m_directory_ + "/daemon.log") != 0) {
      out_l_error = "cardsim-daemon did not start; see " + m_directory_ + "/daemon.log";
      close(l_pipe[0]);
      close(l_pipe[1]);
      close(l_pcscd_log);
      close(l_daemon_log);
      Stop();
      return 1;
    }
    m_pcscd_pid_ = Spawn(l_pcscd, -1, l_pcscd_log);
  } else {
    m_pcscd_pid_ = Spawn(l_pcscd, -1, l_pcscd_log);
    m_daemon_pid_ = Spawn(l_daemon, l_pipe[0], l_daemon_log);
  }
  close(l_pipe[0]);
  m_daemon_stdin_ = l_pipe[1];
  close(l_pcscd_log);
  close(l_daemon_log);

  const auto l_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < l_deadline) {
    int l_status = 0;
    if (waitpid(m_pcscd_pid_, &l_status, WNOHANG) == m_pcscd_pid_) {
      m_pcscd_pid_ = -1;
      out_l_error = "pcscd exited at start; see " + m_directory_ + "/pcscd.log";
      Stop();
      return 1;
    }
    if (waitpid(m_daemon_pid_, &l_status, WNOHANG) == m_daemon_pid_) {
      m_daemon_pid_ = -1;
      out_l_error = "cardsim-daemon exited at start; see " + m_directory_ + "/daemon.log";
      Stop();
      return 1;
    }
    if (Exists(kPcscdSocket)) {
      m_reader_names_ = ListReaders();
      if (m_reader_names_.size() >= l_count) {
        m_reader_names_.resize(l_count);
        return 0;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  out_l_error = "pcscd did not list the readers in time; see " + m_directory_;
  Stop();
  return 1;
}

void PcscdHarness::Stop() {
  if (m_daemon_stdin_ >= 0) {
    close(m_daemon_stdin_);
    m_daemon_stdin_ = -1;
  }
  Terminate(m_daemon_pid_);
  Terminate(m_pcscd_pid_);
  m_reader_names_.clear();
  if (m_lock_fd_ >= 0) {
    close(m_lock_fd_);  // releases the lock
    m_lock_fd_ = -1;
  }
}

int PcscdHarness::SendToDaemon(const std::string& in_l_line) {
  if (m_daemon_stdin_ < 0) return 1;
  const std::string l_line = in_l_line + "\n";
  return write(m_daemon_stdin_, l_line.data(), l_line.size()) == static_cast<ssize_t>(l_line.size()) ? 0 : 1;
}

int PcscdHarness::WaitForCard(std::size_t in_l_index, bool in_l_present, std::chrono::milliseconds in_l_timeout) {
  if (in_l_index >= m_reader_names_.size()) return 1;
  SCARDCONTEXT l_context = 0;
  if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &l_context) != SCARD_S_SUCCESS) {
    return 1;
  }
  int l_result = 1;
  const auto l_deadline = std::chrono::steady_clock::now() + in_l_timeout;
  while (std::chrono::steady_clock::now() < l_deadline) {
    SCARD_READERSTATE l_state{};
    l_state.szReader = m_reader_names_[in_l_index].c_str();
    l_state.dwCurrentState = SCARD_STATE_UNAWARE;
    if (SCardGetStatusChange(l_context, 0, &l_state, 1) == SCARD_S_SUCCESS &&
        ((l_state.dwEventState & SCARD_STATE_PRESENT) != 0) == in_l_present) {
      l_result = 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  SCardReleaseContext(l_context);
  return l_result;
}

}  // namespace tavc::cardsim
