#include "host/app/qt/qt_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace tavc {
namespace {

// One application message on its way through Qt's queue. A screen it carries
// and nobody took (the frame went first) is freed with it.
class FrameMessageEvent final : public QEvent {
 public:
  static QEvent::Type Kind() {
    static const auto s_kind = static_cast<QEvent::Type>(QEvent::registerEventType());
    return s_kind;
  }
  FrameMessageEvent(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam)
      : QEvent(Kind()), m_message_(in_l_message), m_wparam_(in_l_wparam), m_lparam_(in_l_lparam) {}
  ~FrameMessageEvent() override {
    if (!m_taken_) FrameDispatcher::DiscardScreenMessage(m_message_, m_lparam_);
  }
  FrameMessageEvent(const FrameMessageEvent&) = delete;
  FrameMessageEvent& operator=(const FrameMessageEvent&) = delete;

  void Take() { m_taken_ = true; }
  std::uint32_t Message() const { return m_message_; }
  std::uintptr_t Wparam() const { return m_wparam_; }
  std::intptr_t Lparam() const { return m_lparam_; }

 private:
  std::uint32_t m_message_;
  std::uintptr_t m_wparam_;
  std::intptr_t m_lparam_;
  bool m_taken_ = false;
};

}  // namespace

QtFrame::QtFrame(QtFrameServices in_l_services) : QWidget(nullptr), m_screens_(*this, this) {
  setObjectName(QStringLiteral("TavoriFrame"));
  setWindowTitle(QStringLiteral("Tavori"));
  // A dialog-like window: no maximise, sized by its screens.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  m_layout_ = new QVBoxLayout(this);
  m_layout_->setContentsMargins(0, 0, 0, 0);
  m_layout_->setSizeConstraint(QLayout::SetNoConstraint);
  // Qt scales every size by the screen's device pixel ratio itself.
  m_core_ = std::make_unique<FrameCore>(FramePlatform{in_l_services.std_streams,
                                                      std::move(in_l_services.version_reader),
                                                      in_l_services.input_pipe,
                                                      in_l_services.scard_api,
                                                      in_l_services.user_registry,
                                                      *this,
                                                      m_screens_,
                                                      *this,
                                                      std::move(in_l_services.check_multiple_startup),
                                                      0x2000,
                                                      1.0,
                                                      1.0,
                                                      std::move(in_l_services.release_single_instance)});
}

QtFrame::~QtFrame() {
  m_closing_ = true;
  // The workers end with the core; whatever they post meanwhile is refused.
  m_core_.reset();
}

void QtFrame::Start() {
  try {
    m_core_->OnCreate(reinterpret_cast<WindowHandle>(this));
  } catch (...) {
    m_core_->EndOnUnexpectedFailure();
  }
}

bool QtFrame::Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  if (m_closing_) return false;
  QCoreApplication::postEvent(this, new FrameMessageEvent(in_l_message, in_l_wparam, in_l_lparam));
  return true;
}

bool QtFrame::event(QEvent* in_l_event) {
  if (in_l_event->type() != FrameMessageEvent::Kind()) return QWidget::event(in_l_event);
  auto* l_message = static_cast<FrameMessageEvent*>(in_l_event);
  // The dispatcher owns the screen a WM_TVNNOTIFY carries from here on.
  l_message->Take();
  Dispatch(l_message->Message(), l_message->Wparam(), l_message->Lparam());
  return true;
}

void QtFrame::Dispatch(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  if (m_closing_) {
    FrameDispatcher::DiscardScreenMessage(in_l_message, in_l_lparam);
    return;
  }
  // Nothing may escape into Qt's event loop: the page always gets an answer.
  try {
    m_core_->OnTvnNotify(in_l_message, in_l_wparam, in_l_lparam);
  } catch (...) {
    m_core_->EndOnUnexpectedFailure();
  }
}

void QtFrame::closeEvent(QCloseEvent* in_l_event) {
  // The current screen decides (end confirmation, or the end of the run).
  in_l_event->ignore();
  if (m_closing_) return;
  try {
    m_core_->OnClose();
  } catch (...) {
    m_core_->EndOnUnexpectedFailure();
  }
}

void QtFrame::DestroyFrame() {
  if (m_closing_.exchange(true)) return;
  hide();
  emit Ended();
}

void QtFrame::CloseModals() {
  // As its Cancel does: the end confirmation so closed answers "go on", and the
  // interrupt's notice, not the user, ends the run.
  QtScreen* l_screen = CurrentScreen();
  if (QDialog* l_modal = l_screen != nullptr ? l_screen->OpenModal() : nullptr) l_modal->reject();
}

QtScreen* QtFrame::CurrentScreen() const {
  const auto* l_handle = dynamic_cast<const QtScreenHandle*>(m_core_->GetCurrentScreen());
  return l_handle != nullptr ? l_handle->Widget() : nullptr;
}

bool QtFrame::eventFilter(QObject* in_l_watched, QEvent* in_l_event) {
  // A screen whose contents grew (an error line shown) gets room, the centre kept.
  if (in_l_watched == m_shown_ && in_l_event->type() == QEvent::LayoutRequest) ResizeFrame(false);
  return QWidget::eventFilter(in_l_watched, in_l_event);
}

void QtFrame::ResizeFrame(bool in_l_first) {
  QtScreen* l_screen = CurrentScreen();
  if (l_screen == nullptr) return;
  if (l_screen != m_shown_) {
    if (m_layout_->indexOf(l_screen) < 0) m_layout_->addWidget(l_screen);
    l_screen->installEventFilter(this);
    m_shown_ = l_screen;
  }
  setWindowTitle(l_screen->windowTitle());
  // Shown first: the screen's size is that of its laid-out, polished self.
  if (!isVisible()) show();
  QScreen* l_display = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  const QRect l_area = l_display != nullptr ? l_display->availableGeometry() : QRect(0, 0, 1024, 768);
  // The screen's own size; on a short display the fields give up height first
  // (their minimum), so that the buttons stay in view.
  m_layout_->activate();
  QSize l_size = l_screen->PreferredSize();
  l_size.setWidth(std::min(l_size.width(), l_area.width()));
  l_size.setHeight(std::min(l_size.height(), l_area.height()));
  // The first screen is centred; later ones keep the frame's centre, inside the area.
  const QPoint l_centre = in_l_first || !isVisible() ? l_area.center() : geometry().center();
  QRect l_rect(QPoint(0, 0), l_size);
  l_rect.moveCenter(l_centre);
  l_rect.moveLeft(std::max(l_area.left(), std::min(l_rect.left(), l_area.right() - l_size.width() + 1)));
  l_rect.moveTop(std::max(l_area.top(), std::min(l_rect.top(), l_area.bottom() - l_size.height() + 1)));
  m_core_->GetDataStore().SetSize(l_size.width(), l_size.height());
  setGeometry(l_rect);
  raise();
  activateWindow();
}

}  // namespace tavc
