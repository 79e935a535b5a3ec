#pragma once
// Everything the frame window of TAV does that is not drawing: it reads the
// request, refuses a second instance, owns the run's objects and dispatches
// the application messages. The Win32 frame window and the headless frame of
// the tests wrap it alike.
#include <functional>
#include <memory>

#include "host/flow/card_access_thread.h"
#include "host/flow/event_controller.h"
#include "host/flow/frame_dispatcher.h"
#include "host/flow/interrupt_thread.h"
#include "host/flow/screen_factory.h"
#include "host/flow/start_up_check.h"
#include "host/flow/tavc_std_io.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/message_poster.h"
#include "platform/input_pipe.h"
#include "platform/scard_api.h"
#include "platform/std_streams.h"
#include "platform/user_registry.h"

namespace tavc {

// What the frame takes from its platform; everything outlives the frame.
struct FramePlatform {
  platform::StdStreams& std_streams;
  TavcStdIo::VersionReader version_reader;
  platform::InputPipe& input_pipe;
  platform::SCardApi& scard_api;
  platform::UserRegistry& user_registry;
  MessagePoster& poster;
  ScreenFactory& screens;
  FrameHost& host;
  // 0 when this is the only TAV running, 1 otherwise.
  std::function<int()> check_multiple_startup;
  int integrity_level = 0;
  // Logical DPI / 96; 0.0 reads as 1.0.
  double scale_x = 1.0;
  double scale_y = 1.0;
  // Lets the next TAV start: called by the end step once the answer is written,
  // while this one still closes its threads.
  std::function<void()> release_single_instance{};
};

class FrameCore {
 public:
  // The frame window's construction: reads and checks the request.
  explicit FrameCore(FramePlatform in_l_platform);
  ~FrameCore();
  FrameCore(const FrameCore&) = delete;
  FrameCore& operator=(const FrameCore&) = delete;

  // The window exists: the first screen is chosen and shown.
  void OnCreate(WindowHandle in_l_frame);
  void OnTvnNotify(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
    m_dispatcher_.OnTvnNotify(in_l_message, in_l_wparam, in_l_lparam);
  }
  void OnClose() { m_dispatcher_.OnClose(); }
  // The frame's thread met what it cannot go on from (memory running out):
  // the page gets "EW044-0199" unless it has its answer, and the frame goes.
  void EndOnUnexpectedFailure();

  DataStore& GetDataStore() { return m_data_store_; }
  Screen* GetCurrentScreen() const { return m_dispatcher_.GetCurrentScreen(); }
  StartResult GetStartResult() const;

 private:
  FramePlatform m_platform_;
  DataStore m_data_store_;
  ErrorInfo m_start_error_info_;
  TavcStdIo m_std_io_;
  StartUpCheck m_start_up_check_;
  // Declared before the threads that write into its records, so that they end first.
  EventController m_event_controller_;
  InterruptThread m_interrupt_thread_;
  CardAccessThread m_card_access_thread_;
  FrameDispatcher m_dispatcher_;
  StartResult m_read_result_ = StartResult::kAccepted;
  int m_multiple_start_result_ = 0;
};

}  // namespace tavc
