#pragma once
// Decides, message by message, which screen or worker follows in a run, and
// ends the run with its one answer. Runs on the user-interface thread only.
#include <cstdint>
#include <functional>
#include <memory>

#include "host/cert/certificate.h"
#include "host/flow/card_access_thread.h"
#include "host/flow/flow_outcomes.h"
#include "host/flow/interrupt_thread.h"
#include "host/flow/screen.h"
#include "host/flow/screen_factory.h"
#include "host/flow/start_up_check.h"
#include "host/flow/tavc_std_io.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/message_poster.h"
#include "host/state/result_data.h"
#include "platform/named_event.h"
#include "platform/scard_api.h"

namespace tavc {

// The services of one run that the controller uses; all outlive it.
struct EventServices {
  MessagePoster& poster;
  ScreenFactory& screens;
  CardAccessThread& card_access;
  InterruptThread& interrupt_thread;
  StartUpCheck& start_up_check;
  TavcStdIo& std_io;
  platform::SCardApi& scard_api;
  // Called once the answer is out (or withheld): the run's work is done.
  std::function<void()> answer_written{};
};

class EventController {
 public:
  explicit EventController(EventServices in_l_services);
  ~EventController();
  EventController(const EventController&) = delete;
  EventController& operator=(const EventController&) = delete;

  void Initialize(DataStore* in_l_data_store) { m_data_store_ = in_l_data_store; }
  // The first screen for the start result.
  std::unique_ptr<Screen> ExecStartShowing(StartResult in_l_start_result, ErrorInfo& io_l_start_error);
  void ExecStartUp();
  void ExecCardInitResult(WorkerResult in_l_result);
  void ExecCardRead();
  void ExecCardReadResult(WorkerResult in_l_result);
  void ExecSignWithCryptoAPI();
  void ExecSignWithCryptoAPIResult(WorkerResult in_l_result);
  void ExecInterrupt();
  // The end step. False while a card worker still runs: the step waits for
  // WM_APP09 instead of blocking this thread, and is called again then; true
  // once the run is over and the frame may go.
  bool ExecEnd();
  // True from a deferred end step until it is done: nothing else may happen.
  bool IsEnding() const { return m_ending_; }
  // Answers the page at once with this error, before any screen shows; the end
  // step then writes nothing more.
  void AnswerNow(const ErrorInfo& in_l_error);
  // True once the answer is out (or withheld for a page that went away).
  bool HasAnswered() const { return m_answered_; }

  const ErrorInfo& GetEndErrorInfo() const { return m_end_error_info_; }
  const ResultData& GetResultData() const { return m_result_data_; }

 private:
  std::unique_ptr<Screen> MakeScreen(ScreenKind in_l_kind, ErrorInfo& in_l_error_info, int in_l_process_mode = 0,
                                     ResultData* in_l_result_data = nullptr, Certificate* in_l_certificate = nullptr,
                                     Certificate* in_l_second_certificate = nullptr);
  // Creates the screen's window and posts it to the frame.
  void ShowScreen(std::unique_ptr<Screen> in_l_screen, std::uintptr_t in_l_wparam = 0);
  void ShowScreen(ScreenKind in_l_kind);
  void ShowProcessingScreen(int in_l_process_mode, Certificate* in_l_certificate = nullptr);
  void ShowErrorScreen();
  // Card not ready: the card request screen, cleared of its error the first time.
  void ShowCardRequestScreen();
  bool CreateCertificates();
  // False while a worker runs (the end step waits for it).
  bool ReleaseSessions();

  EventServices m_services_;
  DataStore* m_data_store_ = nullptr;
  ErrorInfo m_error_info_;
  ErrorInfo m_end_error_info_;
  ErrorInfo m_interrupt_error_info_;
  ResultData m_result_data_;
  std::unique_ptr<Certificate> m_certificate_;
  std::unique_ptr<Certificate> m_second_certificate_;
  int m_card_init_flg_ = 1;
  platform::NamedEvent m_cancel_event_;
  bool m_ending_ = false;
  bool m_answered_ = false;
};

}  // namespace tavc
