#include "host/flow/frame_dispatcher.h"

#include "host/state/message_poster.h"

namespace tavc {
namespace {

std::unique_ptr<Screen> TakeScreen(std::intptr_t in_l_lparam) {
  return std::unique_ptr<Screen>(reinterpret_cast<Screen*>(in_l_lparam));
}

void DestroyUnshown(std::unique_ptr<Screen> in_l_screen) {
  if (in_l_screen && in_l_screen->IsWindow()) in_l_screen->DestroyWindow();
}

}  // namespace

FrameDispatcher::FrameDispatcher(DataStore& in_l_data_store, EventController& in_l_event_controller,
                                 FrameHost& in_l_host)
    : m_data_store_(in_l_data_store), m_event_controller_(in_l_event_controller), m_host_(in_l_host) {}

FrameDispatcher::~FrameDispatcher() { DestroyUnshown(std::move(m_current_screen_)); }

void FrameDispatcher::DiscardScreenMessage(std::uint32_t in_l_message, std::intptr_t in_l_lparam) {
  if (in_l_message == WM_TVNNOTIFY) DestroyUnshown(TakeScreen(in_l_lparam));
}

void FrameDispatcher::Start(StartResult in_l_start_result, ErrorInfo& io_l_start_error) {
  m_event_controller_.Initialize(&m_data_store_);
  ShowNextWindow(m_event_controller_.ExecStartShowing(in_l_start_result, io_l_start_error));
}

void FrameDispatcher::End() {
  if (m_event_controller_.ExecEnd()) ShowNextWindow(nullptr);
}

void FrameDispatcher::OnTvnNotify(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  m_event_controller_.Initialize(&m_data_store_);
  if (m_event_controller_.IsEnding()) {
    // The end step waits for the card worker to leave; nothing else starts.
    if (in_l_message == WM_APP09) {
      End();
    } else {
      DiscardScreenMessage(in_l_message, in_l_lparam);
    }
    return;
  }
  if (m_data_store_.GetInterruptState() == 0) {
    Dispatch(in_l_message, in_l_wparam, in_l_lparam);
    return;
  }
  // Once interrupted, only the interrupt error screen and its close count.
  if (in_l_message == WM_TVNNOTIFY) {
    if (in_l_wparam == 2) {
      ShowNextWindow(TakeScreen(in_l_lparam));
    } else {
      DestroyUnshown(TakeScreen(in_l_lparam));
    }
  } else if (in_l_message == WM_APP04 && in_l_wparam == 2) {
    End();
  } else if (in_l_message == WM_APP06) {
    // The notice comes after the modals have gone, so that its OK ends the run.
    m_host_.CloseModals();
    m_event_controller_.ExecInterrupt();
  }
}

void FrameDispatcher::Dispatch(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  switch (in_l_message) {
    case WM_APP01: m_event_controller_.ExecStartUp(); break;
    case WM_APP02: m_event_controller_.ExecCardInitResult(WorkerResultOf(in_l_wparam)); break;
    case WM_APP03: m_event_controller_.ExecCardRead(); break;
    case WM_APP04: End(); break;
    case WM_APP05: m_event_controller_.ExecCardReadResult(WorkerResultOf(in_l_wparam)); break;
    case WM_APP07: m_event_controller_.ExecSignWithCryptoAPI(); break;
    case WM_APP08: m_event_controller_.ExecSignWithCryptoAPIResult(WorkerResultOf(in_l_wparam)); break;
    case WM_TVNNOTIFY: ShowNextWindow(TakeScreen(in_l_lparam)); break;
    default: break;  // WM_APP06 before an interrupt was recorded, WM_APP09 with no end waiting.
  }
}

void FrameDispatcher::ShowNextWindow(std::unique_ptr<Screen> in_l_next) {
  const bool l_first = m_current_screen_ == nullptr;
  if (m_current_screen_ && m_current_screen_ != in_l_next) DestroyUnshown(std::move(m_current_screen_));
  m_current_screen_ = std::move(in_l_next);
  if (!m_current_screen_) {
    m_host_.DestroyFrame();
    return;
  }
  m_current_screen_->Show();
  m_host_.ResizeFrame(l_first);
}

void FrameDispatcher::OnClose() {
  // Once the run ends, closing has nothing left to ask.
  if (m_dialog_flag_ != 1 || !m_current_screen_ || m_event_controller_.IsEnding()) return;
  m_dialog_flag_ = 0;
  m_current_screen_->OnClose();
  m_dialog_flag_ = 1;
}

}  // namespace tavc
