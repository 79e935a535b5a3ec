#pragma once
// The frame window of TAV on Linux: a small top-level Qt window around the
// current screen. Everything it decides lives in FrameCore; this turns posted
// messages into calls on it (on the window's thread, through Qt's event
// queue), sizes the window around each screen within the screen's available
// area, and says when the run is over.
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

#include "host/flow/frame_core.h"
#include "host/screens/qt/qt_screen_factory.h"

class QVBoxLayout;

namespace tavc {

// What the frame takes from the process (or from a test); all outlive the frame.
struct QtFrameServices {
  platform::StdStreams& std_streams;
  TavcStdIo::VersionReader version_reader;
  platform::InputPipe& input_pipe;
  platform::SCardApi& scard_api;
  platform::UserRegistry& user_registry;
  std::function<int()> check_multiple_startup;
  std::function<void()> release_single_instance{};
};

class QtFrame final : public QWidget, public MessagePoster, public FrameHost {
  Q_OBJECT

 public:
  // Reads the request and checks for a second instance, as the frame's
  // construction does; Start shows the first screen.
  explicit QtFrame(QtFrameServices in_l_services);
  ~QtFrame() override;

  void Start();

  // MessagePoster: any thread; false once the frame is closing.
  bool Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) override;
  // FrameHost.
  void DestroyFrame() override;
  void ResizeFrame(bool in_l_first) override;
  void CloseModals() override;

  FrameCore& Core() { return *m_core_; }
  // The widget of the current screen, or null.
  QtScreen* CurrentScreen() const;

 signals:
  // The run is over: the answer is written and the window has gone.
  void Ended();

 protected:
  bool event(QEvent* in_l_event) override;
  void closeEvent(QCloseEvent* in_l_event) override;
  bool eventFilter(QObject* in_l_watched, QEvent* in_l_event) override;

 private:
  void Dispatch(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam);

  std::atomic<bool> m_closing_{false};
  QtScreenFactory m_screens_;
  QVBoxLayout* m_layout_ = nullptr;
  QPointer<QWidget> m_shown_;
  // Last: it ends (and joins its threads) before what it uses.
  std::unique_ptr<FrameCore> m_core_;
};

}  // namespace tavc
