#pragma once
// The wrapper's frame on POSIX: starts TAV, relays its one answer to the
// browser and forwards a cancel. Shows the certificate-file dialog, through the
// user's side, when the request needs a file. Every handler runs on the thread
// that runs the queue.
#include <string>

#include "wrapper/posix/channel_threads.h"
#include "wrapper/posix/child_process.h"
#include "wrapper/posix/event_queue.h"
#include "wrapper/posix/wrapper_ui.h"
#include "wrapper/receive_data.h"

// Where the frame talks: the browser's two pipes and TAV's program.
struct FrameChannels {
  int browserInput = 0;
  int browserOutput = 1;
  std::string childProgram;
};

class CMainFrame final : private FileDialogEvents {
 public:
  CMainFrame(EventQueue& in_queue, WrapperUi& in_ui, FrameChannels in_channels);
  ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Takes the request and starts the run (TAV at once, or the file dialog).
  void Create(const ReceiveData& in_request) noexcept;
  // Runs the queue and the user's side until the run has ended.
  void Run();
  bool Ended() const { return m_ended; }

 private:
  // The frame's catch boundary: the run ends with the answer of the code
  // (unless the page has its answer already), never the process.
  void EndWithError(const wchar_t* in_code) noexcept;
  // Runs a handler inside the catch boundary.
  template <typename Handler>
  void Guarded(Handler&& in_handler) noexcept;
  void OnFileChosen(const std::wstring& in_path, const std::wstring& in_password) override;
  void OnEndChosen() override;
  void OnDialogFailed() noexcept override;
  void OnCreate();
  void PostStartChild();
  void OnReceiveStartChild();
  void OnChildAnswer(unsigned in_child, ReadOutcome in_outcome, std::unique_ptr<ReceiveData> in_answer);
  void OnReceiveMessageFromChild(ReceiveData& in_message);
  void OnReceiveMessageFromParent(const ReceiveData& in_message);
  void OnReceiveTooLargeFromChild();
  void SendCancelMessage();
  void ExitApp();
  void ReleaseChild(bool in_until_gone);
  bool RequestTaken();
  void WriteToBrowser(const std::wstring& in_text);
  // The browser gets exactly one answer: whatever comes after it is dropped.
  void AnswerBrowser(const ReceiveData& in_answer);

  EventQueue& m_queue;
  WrapperUi& m_ui;
  FrameChannels m_channels;
  ReceiveData m_request;   // g_JsonDataStdIn: what TAV gets
  ReceiveData m_unedited;  // the request as the browser sent it
  bool m_transparent = false;  // g_TransMessageFlag
  ChildProcess m_child;
  unsigned m_childNumber = 0;  // which child a posted answer belongs to
  bool m_requestTaken = false;  // the child has read its whole request
  bool m_answered = false;
  bool m_ended = false;
  ChannelThread m_parentWatch;
  ChannelThread m_answerReader;
  ChannelThread m_writer;
};
