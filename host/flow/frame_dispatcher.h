#pragma once
// The frame's message dispatch and its one current screen, apart from any
// window system: the Win32 frame window and the headless frame of the tests
// both hand every application message to OnTvnNotify.
#include <cstdint>
#include <memory>

#include "host/flow/event_controller.h"
#include "host/flow/screen.h"
#include "host/state/data_store.h"

namespace tavc {

// What the dispatcher needs of the frame window itself.
class FrameHost {
 public:
  virtual ~FrameHost() = default;
  // Ends the run: the frame window goes, and with it the message loop.
  virtual void DestroyFrame() = 0;
  // Fits the frame around the current screen; `in_l_first` for the first screen.
  virtual void ResizeFrame(bool in_l_first) = 0;
  // Closes, as their Cancel does, the modal dialogs open over the frame (the
  // end confirmation, the version information, the save dialog). Their loops
  // own the input while they are open: the interrupt notice could not be
  // answered behind them.
  virtual void CloseModals() = 0;
};

class FrameDispatcher {
 public:
  FrameDispatcher(DataStore& in_l_data_store, EventController& in_l_event_controller, FrameHost& in_l_host);
  ~FrameDispatcher();
  FrameDispatcher(const FrameDispatcher&) = delete;
  FrameDispatcher& operator=(const FrameDispatcher&) = delete;

  // One application message. A WM_TVNNOTIFY's lParam owns its screen, which is
  // shown or destroyed here in every case.
  void OnTvnNotify(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam);
  // Replaces the current screen; none ends the run.
  void ShowNextWindow(std::unique_ptr<Screen> in_l_next);
  // The frame's own close goes to the current screen while no close is being
  // forwarded already.
  void OnClose();
  // The first screen, from the event controller's start step.
  void Start(StartResult in_l_start_result, ErrorInfo& io_l_start_error);

  Screen* GetCurrentScreen() const { return m_current_screen_.get(); }
  // Frees the screen a dropped WM_TVNNOTIFY would have carried.
  static void DiscardScreenMessage(std::uint32_t in_l_message, std::intptr_t in_l_lparam);

 private:
  void Dispatch(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam);
  // The end step; the frame goes once it is done.
  void End();

  DataStore& m_data_store_;
  EventController& m_event_controller_;
  FrameHost& m_host_;
  std::unique_ptr<Screen> m_current_screen_;
  int m_dialog_flag_ = 1;
};

}  // namespace tavc
