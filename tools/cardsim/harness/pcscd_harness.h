#pragma once
// Starts a real pcscd with the vpcd reader driver and cardsim-daemon behind
// it, for tests that talk to the virtual cards through pcsc-lite. pcscd has one
// fixed socket per machine, so harnesses of all test programs take turns
// through a lock file; a pcscd that was already running makes Start fail.
#include <sys/types.h>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavc::cardsim {

struct PcscdHarnessOptions {
  std::string m_daemon_path_;                    // the cardsim-daemon program
  std::vector<std::string> m_daemon_arguments_;  // --card ... (no --port/--listen/--export-dir)
  std::size_t m_reader_count_ = 1;               // vpcd readers to create (at least the cards)
  std::uint16_t m_port_ = 35963;                 // reader i uses port + i
  // vpcd connects to the daemon instead. vpcd's connecting side aborts pcscd
  // when a virtual card disconnects, so in this mode cards must stay in (no
  // removal faults, no empty readers; free slots are filled with cards).
  bool m_daemon_listens_ = false;
  std::string m_key_directory_;  // shared generated keys (faster start)
};

class PcscdHarness {
 public:
  PcscdHarness() = default;
  ~PcscdHarness();
  PcscdHarness(const PcscdHarness&) = delete;
  PcscdHarness& operator=(const PcscdHarness&) = delete;

  // 0 when pcscd and the daemon run and every reader is listed; 1 with a reason.
  int Start(const PcscdHarnessOptions& in_l_options, std::string& out_l_error);
  void Stop();

  // Reader names as pcsc-lite lists them, in port order.
  const std::vector<std::string>& ReaderNames() const { return m_reader_names_; }
  // Where the daemon wrote reader<i>-<slot>.der.
  const std::string& ExportDirectory() const { return m_directory_; }
  // A control line for the daemon ("remove 0", "insert 0").
  int SendToDaemon(const std::string& in_l_line);
  // Waits until pcsc-lite sees a card in reader in_l_index (or none). 0 when it does.
  int WaitForCard(std::size_t in_l_index, bool in_l_present, std::chrono::milliseconds in_l_timeout);

 private:
  int Launch(const PcscdHarnessOptions& in_l_options, std::string& out_l_error);
  void RemoveDirectory();

  int m_lock_fd_ = -1;
  pid_t m_pcscd_pid_ = -1;
  pid_t m_daemon_pid_ = -1;
  int m_daemon_stdin_ = -1;
  std::string m_directory_;
  // A failed start names its logs in the error, so its folder stays.
  bool m_keep_directory_ = false;
  std::vector<std::string> m_reader_names_;
};

}  // namespace tavc::cardsim
