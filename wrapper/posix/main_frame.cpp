#include "wrapper/posix/main_frame.h"

#include <sys/ioctl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "wrapper/origin_member.h"
#include "wrapper/posix/fd_channel.h"
#include "wrapper/relay_rules.h"

namespace {

using std::chrono::milliseconds;

// TAV reads its request first: one that has not taken it by then never will.
constexpr milliseconds kRequestTaken(1000);
constexpr milliseconds kPoll(20);
// An old TAV that has answered ends within this time, or is ended.
constexpr milliseconds kChildEnds(3000);
// A cancel reaches TAV's watcher before the wrapper lets the child's pipes go.
constexpr milliseconds kCancelSettles(500);

void CloseIfOpen(int& io_fd) {
  if (io_fd >= 0) close(io_fd);
  io_fd = -1;
}

}  // namespace

CMainFrame::CMainFrame(EventQueue& in_queue, WrapperUi& in_ui, FrameChannels in_channels)
    : m_queue(in_queue), m_ui(in_ui), m_channels(std::move(in_channels)) {}

CMainFrame::~CMainFrame() {
  if (!m_ended) ExitApp();
  m_parentWatch.Stop();
  m_answerReader.Stop();
  m_writer.Stop();
}

template <typename Handler>
void CMainFrame::Guarded(Handler&& in_handler) noexcept {
  if (m_ended) return;
  try {
    in_handler();
  } catch (...) {
    EndWithError(wrapper_codes::kFrameFailed);
  }
}

void CMainFrame::Create(const ReceiveData& in_request) noexcept {
  Guarded([&] {
    // The request to send (the file dialog edits it) and the request as read.
    m_request = in_request;
    m_unedited = in_request;
    OnCreate();
  });
}

void CMainFrame::Run() {
  while (!m_ended) m_ui.WaitForEvents();
}

void CMainFrame::EndWithError(const wchar_t* in_code) noexcept {
  try {
    WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"1", in_code));
  } catch (...) {
    // Not even the answer could be built: the page sees the wrapper end.
  }
  try {
    ExitApp();
  } catch (...) {
    m_ended = true;
  }
}

void CMainFrame::OnDialogFailed() noexcept { EndWithError(wrapper_codes::kFrameFailed); }

void CMainFrame::OnCreate() {
  ParentWatchPosts l_posts;
  l_posts.cancel = [this](ReceiveData& in_message) { Guarded([&] { OnReceiveMessageFromParent(in_message); }); };
  l_posts.gone = [this] { Guarded([&] { ExitApp(); }); };
  l_posts.failed = [this] { Guarded([&] { EndWithError(wrapper_codes::kPageReaderFailed); }); };
  if (!StartParentWatch(m_parentWatch, m_channels.browserInput, m_queue, std::move(l_posts))) {
    EndWithError(wrapper_codes::kFrameFailed);
    return;
  }
  // A malformed origin goes to TAV unasked, to be refused there.
  tavc::RequestOrigin l_origin;
  if (NeedsCertificateFile(m_unedited.GetData()) &&
      OriginMemberOf(m_unedited.GetData(), l_origin) != OriginMember::kMalformed) {
    if (!m_ui.ShowFileDialog(m_unedited.GetData(), *this)) EndWithError(wrapper_codes::kFrameFailed);
  } else {
    m_transparent = true;
    PostStartChild();
  }
}

void CMainFrame::PostStartChild() {
  if (!m_queue.Post([this] { Guarded([&] { OnReceiveStartChild(); }); })) {
    EndWithError(wrapper_codes::kFrameFailed);
  }
}

void CMainFrame::OnFileChosen(const std::wstring& in_path, const std::wstring& in_password) {
  m_request.Clear();
  m_request.SetData(RequestWithFile(m_unedited.GetData(), in_path, in_password));
  if (!FitsChildFrame(m_request.GetData())) {
    // TAV would refuse it on every attempt: the page learns it at once.
    m_request.Clear();
    WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"1", wrapper_codes::kRequestTooLarge));
    ExitApp();
    return;
  }
  m_request.SetDataSize(1);
  PostStartChild();
}

void CMainFrame::OnReceiveStartChild() {
  if (!m_transparent) m_ui.HideFileDialog();
  // Never two TAVs: the one of an earlier attempt is gone first.
  ReleaseChild(true);
  if (CreateChildProcess(m_channels.childProgram, m_child) != ChildStart::kStarted) {
    m_ui.ShowError(wrapper_codes::kChildNotStarted);
    if (m_ended) return;
    if (m_transparent) {
      // Nothing is left for the user to do here: the page learns it at once.
      EndWithError(wrapper_codes::kChildNotStarted);
    } else {
      m_ui.RaiseFileDialog();
    }
    return;
  }
  const unsigned l_child = ++m_childNumber;
  // The answer is read while the request is still being written.
  const bool l_reading = StartAnswerReader(
      m_answerReader, m_child.output, m_queue, [this, l_child](ReadOutcome in_outcome, std::unique_ptr<ReceiveData> in_answer) {
        Guarded([&] { OnChildAnswer(l_child, in_outcome, std::move(in_answer)); });
      });
  const bool l_writing = l_reading && StartFrameWriter(m_writer, m_child.input, m_request.GetData(), m_queue, [this] {
                           Guarded([&] { EndWithError(wrapper_codes::kRequestWriterFailed); });
                         });
  if (!m_transparent) m_request.Clear();
  if (!l_writing) EndWithError(wrapper_codes::kRequestWriterFailed);
}

void CMainFrame::OnChildAnswer(unsigned in_child, ReadOutcome in_outcome, std::unique_ptr<ReceiveData> in_answer) {
  // What an earlier child said once it was let go is not wanted.
  if (in_child != m_childNumber) return;
  switch (in_outcome) {
    case ReadOutcome::kFrame:
      if (in_answer) OnReceiveMessageFromChild(*in_answer);
      break;
    case ReadOutcome::kBroken: ExitApp(); break;
    case ReadOutcome::kOverLimit: OnReceiveTooLargeFromChild(); break;
    case ReadOutcome::kFailed: EndWithError(wrapper_codes::kAnswerReaderFailed); break;
  }
}

void CMainFrame::WriteToBrowser(const std::wstring& in_text) {
  ReceiveData l_answer;
  l_answer.SetDataSize(1);
  l_answer.SetData(in_text);
  AnswerBrowser(l_answer);
}

void CMainFrame::AnswerBrowser(const ReceiveData& in_answer) {
  if (m_answered) return;
  m_answered = true;
  // The browser reads its host's output for as long as the host runs.
  const StopSignal l_never;
  FdSink l_output(m_channels.browserOutput, l_never);
  static_cast<void>(WriteFrame(l_output, in_answer));
}

void CMainFrame::OnReceiveMessageFromChild(ReceiveData& in_message) {
  switch (DecideOnChildAnswer(m_transparent, in_message.GetData())) {
    case ChildAnswerAction::kRelayAndEnd:
      AnswerBrowser(in_message);
      ExitApp();
      break;
    case ChildAnswerAction::kRetryWithFile:
      ReleaseChild(true);
      m_ui.RaiseFileDialog();
      break;
    case ChildAnswerAction::kIgnore:
      // Not relayed, and that child has said its one answer: it goes too.
      ReleaseChild(true);
      break;
  }
}

void CMainFrame::OnReceiveTooLargeFromChild() {
  // The browser would drop the connection on such a message: the page gets a
  // clear error instead. Closing the pipe ends TAV's write.
  ReleaseChild(false);
  WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"1", wrapper_codes::kAnswerTooLarge));
  ExitApp();
}

void CMainFrame::OnReceiveMessageFromParent(const ReceiveData& in_message) {
  switch (DecideOnParentMessage(in_message.GetData(), m_child.input >= 0)) {
    case ParentMessageAction::kForwardCancelAndEnd:
      // A child that has not taken its request cannot take the cancel either.
      m_requestTaken = m_requestTaken || RequestTaken();
      if (m_requestTaken && StartFrameWriter(m_writer, m_child.input, in_message.GetData(), m_queue, [] {})) {
        static_cast<void>(m_writer.Finish(kRequestTaken));
        std::this_thread::sleep_for(kCancelSettles);
      }
      ExitApp();
      break;
    case ParentMessageAction::kEnd: ExitApp(); break;
    case ParentMessageAction::kIgnore: break;
  }
}

void CMainFrame::ReleaseChild(bool in_until_gone) {
  // The output first: a child blocked writing its answer then fails.
  m_answerReader.Stop();
  CloseIfOpen(m_child.output);
  if (m_child.pid < 0) return;
  m_requestTaken = m_requestTaken || RequestTaken();
  bool l_gone = false;
  if (!m_requestTaken) {
    // Hung before reading, or never reads: it would outlive the wrapper.
    kill(m_child.pid, SIGKILL);
    l_gone = WaitForChildEnd(m_child.pid, kChildEnds);
  }
  // With the child gone or its request taken, the writer has ended or fails.
  m_writer.Stop();
  CloseIfOpen(m_child.input);
  if (in_until_gone && !l_gone && !WaitForChildEnd(m_child.pid, kChildEnds)) {
    kill(m_child.pid, SIGKILL);
    static_cast<void>(WaitForChildEnd(m_child.pid, kChildEnds));
  }
  m_child.pid = -1;
  m_requestTaken = false;
}

bool CMainFrame::RequestTaken() {
  for (milliseconds l_waited(0);; l_waited += kPoll) {
    // Written whole, and nothing of it left in the pipe: the child has read it.
    int l_unread = 0;
    if (m_writer.Finish(milliseconds(0)) && ioctl(m_child.input, FIONREAD, &l_unread) == 0 && l_unread == 0) {
      return true;
    }
    if (l_waited >= kRequestTaken) return false;
    std::this_thread::sleep_for(kPoll);
  }
}

void CMainFrame::SendCancelMessage() { WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"9", L"")); }

void CMainFrame::ExitApp() {
  ReleaseChild(false);
  m_request.Clear();
  m_ended = true;
  m_ui.CloseAll();
}

void CMainFrame::OnEndChosen() {
  SendCancelMessage();
  ExitApp();
}
