// cardsim-daemon: virtual My Number and GPKI cards in vpcd readers of a real
// pcscd (or of any reader speaking vpcd's protocol).
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/cardsim/daemon/card_setup.h"
#include "tools/cardsim/daemon/daemon_options.h"
#include "tools/cardsim/daemon/vpcd_link.h"
#include "tools/cardsim/key_pool.h"
#include "tools/cardsim/virtual_readers.h"

namespace {

volatile sig_atomic_t g_stop_signal = 0;

void OnStopSignal(int) { g_stop_signal = 1; }

std::string ReaderName(std::size_t in_l_index) { return "reader" + std::to_string(in_l_index); }

// One control line from standard input; false on "quit".
bool HandleLine(const std::string& in_l_line, tavc::cardsim::VirtualReaders& io_l_readers,
                std::size_t in_l_reader_count) {
  std::istringstream l_stream(in_l_line);
  std::string l_command;
  std::size_t l_index = 0;
  l_stream >> l_command;
  if (l_command == "quit") return false;
  if ((l_command == "remove" || l_command == "insert") && (l_stream >> l_index) &&
      l_index < in_l_reader_count) {
    const int l_result = l_command == "remove" ? io_l_readers.EjectCard(ReaderName(l_index))
                                               : io_l_readers.ReinsertCard(ReaderName(l_index));
    std::printf("%s %zu %s\n", l_command.c_str(), l_index, l_result == 0 ? "ok" : "failed");
  } else if (!l_command.empty()) {
    std::printf("unknown command: %s\n", in_l_line.c_str());
  }
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int in_l_argc, char** in_l_argv) {
  using namespace tavc::cardsim;
  DaemonOptions l_options;
  std::string l_error;
  const std::vector<std::string> l_arguments(in_l_argv + 1, in_l_argv + in_l_argc);
  const int l_parsed = ParseDaemonOptions(l_arguments, l_options, l_error);
  if (l_parsed == 2) {
    std::fputs(kDaemonUsage, stdout);
    return 0;
  }
  if (l_parsed != 0) {
    std::fprintf(stderr, "cardsim-daemon: %s\n%s", l_error.c_str(), kDaemonUsage);
    return 2;
  }
  if (!l_options.m_key_directory_.empty()) SetKeyPoolDirectory(l_options.m_key_directory_);

  VirtualReaders l_readers;
  for (std::size_t l_i = 0; l_i < l_options.m_readers_.size(); ++l_i) {
    const ReaderSetup& l_setup = l_options.m_readers_[l_i];
    std::unique_ptr<IsoCard> l_card;
    const std::string l_prefix = l_options.m_export_directory_.empty()
                                     ? std::string()
                                     : l_options.m_export_directory_ + "/" + ReaderName(l_i) + "-";
    if (BuildReaderCard(l_setup, l_prefix, l_card, l_error) != 0) {
      std::fprintf(stderr, "cardsim-daemon: reader %zu: %s\n", l_i, l_error.c_str());
      return 1;
    }
    l_readers.AddReader(ReaderName(l_i));
    if (l_card) l_readers.InsertCard(ReaderName(l_i), std::move(l_card), l_setup.m_faults_);
  }

  struct sigaction l_action {};
  l_action.sa_handler = OnStopSignal;
  sigaction(SIGINT, &l_action, nullptr);
  sigaction(SIGTERM, &l_action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::atomic<bool> l_stop{false};
  std::atomic<int> l_failures{0};
  std::vector<std::thread> l_threads;
  for (std::size_t l_i = 0; l_i < l_options.m_readers_.size(); ++l_i) {
    VpcdLinkSettings l_settings;
    l_settings.m_host_ = l_options.m_host_;
    l_settings.m_port_ = static_cast<std::uint16_t>(l_options.m_port_ + l_i);
    l_settings.m_listen_ = l_options.m_listen_;
    l_settings.m_reinsert_after_ms_ = l_options.m_readers_[l_i].m_reinsert_after_ms_;
    l_threads.emplace_back([&l_readers, &l_stop, &l_failures, l_i, l_settings] {
      VpcdLink l_link(l_readers, ReaderName(l_i), l_settings);
      if (l_link.Run(l_stop) != 0) {
        std::fprintf(stderr, "cardsim-daemon: cannot listen on port %u\n",
                     static_cast<unsigned>(l_settings.m_port_));
        ++l_failures;
      }
    });
  }
  std::printf("cardsim-daemon ready: %zu reader(s), %s port %u\n", l_options.m_readers_.size(),
              l_options.m_listen_ ? "listening from" : "connecting to",
              static_cast<unsigned>(l_options.m_port_));
  std::fflush(stdout);

  bool l_stdin_open = true;
  std::string l_pending;
  while (g_stop_signal == 0 && l_failures == 0) {
    if (!l_stdin_open) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      continue;
    }
    pollfd l_poll{STDIN_FILENO, POLLIN, 0};
    if (poll(&l_poll, 1, 100) <= 0) continue;
    char l_buffer[256];
    const ssize_t l_read = read(STDIN_FILENO, l_buffer, sizeof l_buffer);
    if (l_read <= 0) {
      l_stdin_open = false;  // no controller: run until a signal
      continue;
    }
    l_pending.append(l_buffer, static_cast<std::size_t>(l_read));
    bool l_quit = false;
    for (std::size_t l_end = l_pending.find('\n'); l_end != std::string::npos;
         l_end = l_pending.find('\n')) {
      l_quit = l_quit || !HandleLine(l_pending.substr(0, l_end), l_readers,
                                     l_options.m_readers_.size());
      l_pending.erase(0, l_end + 1);
    }
    if (l_pending.size() > 4096) l_pending.clear();
    if (l_quit) break;
  }
  l_stop = true;
  for (std::thread& l_thread : l_threads) l_thread.join();
  return l_failures == 0 ? 0 : 1;
}
