#pragma once
// The screens of the Qt frame: each kind as its widget, a child of the frame,
// behind the portable Screen the event controller and the frame's dispatcher
// hold. The widget belongs to the Screen; a QPointer keeps it from being
// deleted twice when its parent goes first.
#include <QPointer>
#include <QWidget>

#include "host/flow/screen_factory.h"
#include "host/screens/qt/qt_screen.h"

namespace tavc {

class QtScreenHandle final : public Screen {
 public:
  explicit QtScreenHandle(QtScreen* in_l_widget) : m_widget_(in_l_widget) {}
  ~QtScreenHandle() override { delete m_widget_.data(); }
  QtScreenHandle(const QtScreenHandle&) = delete;
  QtScreenHandle& operator=(const QtScreenHandle&) = delete;

  bool Create() override { return !m_widget_.isNull(); }
  void Show() override;
  bool IsWindow() const override { return !m_widget_.isNull(); }
  void DestroyWindow() override { delete m_widget_.data(); }
  void OnClose() override;

  QtScreen* Widget() const { return m_widget_.data(); }

 private:
  QPointer<QtScreen> m_widget_;
};

class QtScreenFactory final : public ScreenFactory {
 public:
  // Screens post to `io_l_poster` and are made children of `in_l_parent` (hidden until shown).
  QtScreenFactory(MessagePoster& io_l_poster, QWidget* in_l_parent) : m_poster_(io_l_poster), m_parent_(in_l_parent) {}
  std::unique_ptr<Screen> CreateScreen(const ScreenRequest& in_l_request) override;

 private:
  MessagePoster& m_poster_;
  QPointer<QWidget> m_parent_;
};

}  // namespace tavc
