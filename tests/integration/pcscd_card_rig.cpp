#include "tests/integration/pcscd_card_rig.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/scard_api.h"

namespace tavc::test {
namespace {

// Shared with cardsim's harness: one pcscd per machine at a time.
constexpr char kLockPath[] = "/tmp/tavori-pcscd.lock";
constexpr char kPcscdSocket[] = "/run/pcscd/pcscd.comm";
constexpr char kKeyDirectory[] = "/tmp/tavori-card-test-keys";

bool Exists(const char* in_l_path) {
  struct stat l_stat {};
  return stat(in_l_path, &l_stat) == 0;
}

}  // namespace

PcscdCardRig::~PcscdCardRig() {
  m_harness_.Stop();
  StopBare();
}

bool PcscdCardRig::Start(const std::vector<ReaderSetup>& in_l_readers, std::string* out_l_error) {
  m_harness_.Stop();
  StopBare();
  if (in_l_readers.empty()) return StartWithoutReaders(out_l_error);

  cardsim::PcscdHarnessOptions l_options;
  l_options.m_daemon_path_ = CARDSIM_DAEMON_PATH;
  l_options.m_reader_count_ = in_l_readers.size();
  l_options.m_key_directory_ = kKeyDirectory;
  mkdir(kKeyDirectory, 0700);
  for (const ReaderSetup& l_setup : in_l_readers) {
    std::vector<std::string>& l_arguments = l_options.m_daemon_arguments_;
    l_arguments.push_back("--card");
    l_arguments.push_back(l_setup.kind == CardKind::kMyNumber ? "mynumber"
                          : l_setup.kind == CardKind::kGpki   ? "gpki"
                                                              : "empty");
    if (l_setup.kind == CardKind::kEmpty) continue;
    if (l_setup.auth_pin_tries != 3) {
      l_arguments.push_back("--auth-pin-tries");
      l_arguments.push_back(std::to_string(l_setup.auth_pin_tries));
    }
    if (l_setup.remove_at_command != 0) {
      l_arguments.push_back("--remove-at");
      l_arguments.push_back(std::to_string(l_setup.remove_at_command));
    }
  }
  if (m_harness_.Start(l_options, *out_l_error) != 0) return false;
  for (std::size_t l_i = 0; l_i < in_l_readers.size(); ++l_i) {
    if (in_l_readers[l_i].kind == CardKind::kEmpty) continue;
    if (m_harness_.WaitForCard(l_i, true, std::chrono::seconds(10)) != 0) {
      *out_l_error = "pcscd does not see the card in reader " + std::to_string(l_i);
      return false;
    }
  }
  return true;
}

platform::SCardApi& PcscdCardRig::Api() { return platform::SystemSCardApi(); }

std::vector<std::uint8_t> PcscdCardRig::Certificate(std::size_t in_l_reader, const std::string& in_l_slot) {
  std::ifstream l_file(
      m_harness_.ExportDirectory() + "/reader" + std::to_string(in_l_reader) + "-" + in_l_slot + ".der",
      std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(l_file)), std::istreambuf_iterator<char>());
}

bool PcscdCardRig::StartWithoutReaders(std::string* out_l_error) {
  m_bare_lock_fd_ = open(kLockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (m_bare_lock_fd_ < 0 || flock(m_bare_lock_fd_, LOCK_EX) != 0) {
    *out_l_error = std::string("cannot lock ") + kLockPath;
    StopBare();
    return false;
  }
  if (Exists(kPcscdSocket)) {
    *out_l_error = std::string("another pcscd is running (") + kPcscdSocket + " exists)";
    StopBare();
    return false;
  }
  char l_template[] = "/tmp/tavori-bare-pcscd-XXXXXX";
  if (mkdtemp(l_template) == nullptr) {
    *out_l_error = "cannot create a work directory";
    StopBare();
    return false;
  }
  m_bare_directory_ = l_template;
  const std::string l_config = m_bare_directory_ + "/reader.conf.d";
  mkdir(l_config.c_str(), 0755);
  m_bare_pcscd_pid_ = fork();
  if (m_bare_pcscd_pid_ == 0) {
    const int l_log = open((m_bare_directory_ + "/pcscd.log").c_str(), O_WRONLY | O_CREAT, 0644);
    if (l_log >= 0) {
      dup2(l_log, STDOUT_FILENO);
      dup2(l_log, STDERR_FILENO);
    }
    execl("/usr/sbin/pcscd", "pcscd", "--foreground", "--config", l_config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto l_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < l_deadline) {
    int l_status = 0;
    if (m_bare_pcscd_pid_ < 0 || waitpid(m_bare_pcscd_pid_, &l_status, WNOHANG) == m_bare_pcscd_pid_) {
      m_bare_pcscd_pid_ = -1;
      *out_l_error = "pcscd without readers did not start; see " + m_bare_directory_;
      m_bare_directory_.clear();  // kept for its log
      StopBare();
      return false;
    }
    if (Exists(kPcscdSocket)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  *out_l_error = "pcscd without readers did not open its socket";
  StopBare();
  return false;
}

void PcscdCardRig::StopBare() {
  if (m_bare_pcscd_pid_ > 0) {
    kill(m_bare_pcscd_pid_, SIGTERM);
    int l_status = 0;
    waitpid(m_bare_pcscd_pid_, &l_status, 0);
    m_bare_pcscd_pid_ = -1;
  }
  if (m_bare_lock_fd_ >= 0) {
    close(m_bare_lock_fd_);
    m_bare_lock_fd_ = -1;
  }
  if (!m_bare_directory_.empty()) {
    std::error_code l_error;
    std::filesystem::remove_all(m_bare_directory_, l_error);
    m_bare_directory_.clear();
  }
}

}  // namespace tavc::test
