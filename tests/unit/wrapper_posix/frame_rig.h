#pragma once
// The wrapper's POSIX frame between a browser played by the test (two pipes)
// and the stand-in TAV (tests/support/standin_tav.cpp), with a user's side
// that notes what it was asked to show. No display: the test runs the queue.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/utf_conversion.h"
#include "tests/unit/core/fake_std_streams.h"
#include "wrapper/posix/main_frame.h"

namespace wrapper_test {

class HeadlessUi final : public WrapperUi {
 public:
  explicit HeadlessUi(EventQueue& in_queue) : m_queue(in_queue) {}
  bool ShowFileDialog(const std::wstring&, FileDialogEvents& in_events) override {
    events = &in_events;
    ++shown;
    return true;
  }
  void HideFileDialog() override { ++hidden; }
  void RaiseFileDialog() override { ++raised; }
  void ShowError(const std::wstring& in_code_or_text) override { errors.push_back(in_code_or_text); }
  void CloseAll() override { ++closed; }
  void WaitForEvents() override { m_queue.WaitAndRun(std::chrono::milliseconds(10)); }

  FileDialogEvents* events = nullptr;
  int shown = 0;
  int hidden = 0;
  int raised = 0;
  int closed = 0;
  std::vector<std::wstring> errors;

 private:
  EventQueue& m_queue;
};

class FrameRig {
 public:
  // The stand-in behaves as `in_behaviour` says; `in_program` replaces it.
  explicit FrameRig(const std::string& in_behaviour, const std::string& in_program = TAV_STANDIN_PATH)
      : m_folder(std::filesystem::temp_directory_path() /
                 ("tav-frame-" + std::to_string(getpid()) + "-" + std::to_string(++s_count))) {
    std::filesystem::create_directories(m_folder);
    m_log = (m_folder / "standin.log").string();
    setenv("TAV_STANDIN", in_behaviour.c_str(), 1);
    setenv("TAV_STANDIN_LOG", m_log.c_str(), 1);
    signal(SIGPIPE, SIG_IGN);
    if (pipe2(m_page, O_CLOEXEC) != 0 || pipe2(m_answers, O_CLOEXEC) != 0) std::abort();
    fcntl(m_answers[0], F_SETFL, O_NONBLOCK);
    frame = std::make_unique<CMainFrame>(queue, ui, FrameChannels{m_page[0], m_answers[1], in_program});
  }
  ~FrameRig() {
    frame.reset();
    for (int l_fd : {m_page[0], m_page[1], m_answers[0], m_answers[1]}) {
      if (l_fd >= 0) close(l_fd);
    }
    std::error_code l_error;
    std::filesystem::remove_all(m_folder, l_error);
  }

  void Start(const std::string& in_request) {
    ReceiveData l_request;
    l_request.SetDataSize(static_cast<std::uint32_t>(in_request.size()));
    l_request.SetData(tavc::Utf8ToUtf16(in_request));
    frame->Create(l_request);
  }
  // Runs the frame's queue until the condition holds; false when time ran out.
  bool RunUntil(const std::function<bool()>& in_done, std::chrono::milliseconds in_limit = std::chrono::seconds(10)) {
    const auto l_end = std::chrono::steady_clock::now() + in_limit;
    while (!in_done()) {
      if (std::chrono::steady_clock::now() > l_end) return false;
      ui.WaitForEvents();
    }
    return true;
  }
  bool RunUntilEnded(std::chrono::milliseconds in_limit = std::chrono::seconds(10)) {
    return RunUntil([this] { return frame->Ended(); }, in_limit);
  }
  bool RunUntilLogged(const std::string& in_line) {
    return RunUntil([&] { return Log().find(in_line) != std::string::npos; });
  }

  void PageSends(const std::vector<std::uint8_t>& in_bytes) {
    std::size_t l_done = 0;
    while (l_done < in_bytes.size()) {
      const ssize_t l_written = write(m_page[1], in_bytes.data() + l_done, in_bytes.size() - l_done);
      if (l_written <= 0) return;
      l_done += static_cast<std::size_t>(l_written);
    }
  }
  void PageSends(const std::string& in_json) { PageSends(tavc::test::Frame(in_json)); }
  void PageLeaves() {
    close(m_page[1]);
    m_page[1] = -1;
  }
  // Every byte the browser got so far.
  std::vector<std::uint8_t> PageGot() {
    std::vector<std::uint8_t> l_bytes;
    std::uint8_t l_piece[65536];
    ssize_t l_read;
    while ((l_read = read(m_answers[0], l_piece, sizeof(l_piece))) > 0) l_bytes.insert(l_bytes.end(), l_piece, l_piece + l_read);
    return l_bytes;
  }
  std::string Log() const {
    std::ifstream l_file(m_log);
    std::stringstream l_text;
    l_text << l_file.rdbuf();
    return l_text.str();
  }
  // The stand-in's process id, from its log; -1 before it wrote it.
  pid_t ChildPid() const {
    const std::string l_log = Log();
    const std::size_t l_at = l_log.find("pid ");
    return l_at == std::string::npos ? -1 : static_cast<pid_t>(std::stol(l_log.substr(l_at + 4)));
  }

  EventQueue queue;
  HeadlessUi ui{queue};
  std::unique_ptr<CMainFrame> frame;

 private:
  static inline int s_count = 0;
  std::filesystem::path m_folder;
  std::string m_log;
  int m_page[2] = {-1, -1};
  int m_answers[2] = {-1, -1};
};

// True once no process of the id is left, not even one to be reaped.
inline bool ProcessGone(pid_t in_pid) {
  return in_pid > 0 && waitpid(in_pid, nullptr, WNOHANG) < 0 && kill(in_pid, 0) != 0;
}

}  // namespace wrapper_test
