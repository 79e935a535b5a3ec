// cardsim-pcscd: the pcscd rig of the tests as a program, for scripts (the
// browser cases against the Linux host, the main job): a private pcscd with
// the vpcd driver and cardsim-daemon behind it, taking turns with every other
// user of the rig through its lock. Prints "certs <folder>" (the cards'
// certificates, reader<i>-<slot>.der) and "ready <reader>;<reader>..." once
// pcsc-lite sees every card in; passes each line of its standard input to the
// daemon ("remove 0"); stops both when its input ends or on SIGTERM/SIGINT.
// Usage: cardsim-pcscd <cardsim-daemon> <first port> <key dir> <daemon options: --card ...>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "tools/cardsim/harness/pcscd_harness.h"

namespace {

volatile sig_atomic_t g_stop = 0;

void OnStop(int) { g_stop = 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: cardsim-pcscd <cardsim-daemon> <first port> <key dir> --card ...\n";
    return 2;
  }
  tavc::cardsim::PcscdHarnessOptions l_options;
  l_options.m_daemon_path_ = argv[1];
  l_options.m_port_ = static_cast<std::uint16_t>(std::atoi(argv[2]));
  l_options.m_key_directory_ = argv[3];
  l_options.m_reader_count_ = 0;
  std::vector<bool> l_filled;
  for (int l_i = 4; l_i < argc; ++l_i) {
    l_options.m_daemon_arguments_.push_back(argv[l_i]);
    if (std::string(argv[l_i]) != "--card") continue;
    ++l_options.m_reader_count_;
    l_filled.push_back(l_i + 1 >= argc || std::string(argv[l_i + 1]) != "empty");
  }
  struct sigaction l_action {};
  l_action.sa_handler = OnStop;
  sigaction(SIGTERM, &l_action, nullptr);
  sigaction(SIGINT, &l_action, nullptr);

  tavc::cardsim::PcscdHarness l_harness;
  std::string l_error;
  if (l_harness.Start(l_options, l_error) != 0) {
    std::cerr << "cardsim-pcscd: " << l_error << "\n";
    return 1;
  }
  // Listed is not yet served: each card is in before the rig says it is ready.
  for (std::size_t l_reader = 0; l_reader < l_filled.size(); ++l_reader) {
    if (l_filled[l_reader] && l_harness.WaitForCard(l_reader, true, std::chrono::seconds(20)) != 0) {
      std::cerr << "cardsim-pcscd: no card in reader " << l_reader << "\n";
      return 1;
    }
  }
  std::string l_readers;
  for (const std::string& l_name : l_harness.ReaderNames()) l_readers += (l_readers.empty() ? "" : ";") + l_name;
  std::cout << "certs " << l_harness.ExportDirectory() << "\n" << "ready " << l_readers << std::endl;

  std::string l_line;
  while (!g_stop) {
    pollfd l_input{STDIN_FILENO, POLLIN, 0};
    const int l_ready = poll(&l_input, 1, 200);
    if (l_ready < 0 && errno != EINTR) break;
    if (l_ready <= 0) continue;
    char l_byte;
    const ssize_t l_read = read(STDIN_FILENO, &l_byte, 1);
    if (l_read <= 0) break;
    if (l_byte != '\n') {
      l_line.push_back(l_byte);
      continue;
    }
    l_harness.SendToDaemon(l_line);
    l_line.clear();
  }
  l_harness.Stop();
  return 0;
}
