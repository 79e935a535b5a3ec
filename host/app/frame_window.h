#pragma once
// The frame window of TAV: a small top-level window around the current screen.
// Everything it decides lives in FrameCore; this turns window messages into
// calls on it, sizes the frame around each screen and runs the message loop.
#include <windows.h>

#include <atomic>
#include <memory>

#include "host/flow/frame_core.h"
#include "host/screens/win32/dialog_screen_factory.h"
#include "platform/single_instance.h"

namespace tavc {

class FrameWindow final : public FrameHost, public MessagePoster {
 public:
  // Reads the request and checks for a second instance, as the frame's
  // construction does; the window comes with Create.
  explicit FrameWindow(HINSTANCE in_l_instance);
  ~FrameWindow() override;
  FrameWindow(const FrameWindow&) = delete;
  FrameWindow& operator=(const FrameWindow&) = delete;

  // Creates the window (its first screen is shown as it is created) and shows
  // it with the command line's show state; false when it could not be made.
  bool Create(int in_l_show);
  // Runs until WM_QUIT and gives its wParam.
  void RunMessageLoop();

  // FrameHost.
  void DestroyFrame() override;
  void ResizeFrame(bool in_l_first) override;
  void CloseModals() override;
  // MessagePoster: workers, the watcher and the event controller post here.
  bool Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) override;

  // The window class, also how tests find the frame.
  static constexpr const wchar_t* kClassName = L"TavoriFrame";

 private:
  static LRESULT CALLBACK WindowProc(HWND in_l_window, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  LRESULT HandleMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  void OnCreate();
  int CheckMultipleStartup();
  HWND CurrentScreenWindow() const;
  // Back to the size recorded for the current screen, in place.
  void RestoreSize();

  HINSTANCE m_instance_;
  // Read by the threads that post; null once the window is gone.
  std::atomic<HWND> m_window_{nullptr};
  // Held for the life of the process.
  platform::SingleInstanceLock m_single_instance_;
  DialogScreenFactory m_screens_;
  int m_sizemove_flag_ = 0;
  bool m_minimized_ = false;
  HWND m_focus_before_minimize_ = nullptr;
  // Last: it ends (and joins its threads) before what it uses.
  std::unique_ptr<FrameCore> m_core_;
};

}  // namespace tavc
