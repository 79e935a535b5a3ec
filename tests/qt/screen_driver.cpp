#include "tests/qt/screen_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <sstream>

#include "host/app/qt/qt_frame.h"

namespace tavc::test {
namespace {

constexpr int kTickMs = 20;
constexpr int kStepLimitMs = 30000;

}  // namespace

ScreenDriver::ScreenDriver(QtFrame& io_l_frame, std::vector<std::string> in_l_steps)
    : QObject(&io_l_frame), m_frame_(io_l_frame), m_steps_(std::move(in_l_steps)) {
  connect(&m_timer_, &QTimer::timeout, this, [this] { Tick(); });
  if (!m_steps_.empty()) m_timer_.start(kTickMs);
}

void ScreenDriver::OnCall(const std::string& in_l_name, std::function<void()> in_l_call) {
  m_calls_[in_l_name] = std::move(in_l_call);
}

std::vector<std::string> ScreenDriver::Split(const std::string& in_l_text) {
  std::istringstream l_stream(in_l_text);
  std::vector<std::string> l_steps;
  for (std::string l_step; l_stream >> l_step;) l_steps.push_back(l_step);
  return l_steps;
}

void ScreenDriver::Tick() {
  if (Done() || !m_failure_.empty()) {
    m_timer_.stop();
    return;
  }
  const std::string& l_step = m_steps_[m_next_];
  const std::string::size_type l_equals = l_step.find('=');
  const std::string l_verb = l_step.substr(0, l_equals);
  const std::string l_value = l_equals == std::string::npos ? std::string() : l_step.substr(l_equals + 1);
  const bool l_done = Try(l_verb, l_value);
  if (l_done && m_failure_.empty()) {
    ++m_next_;
    m_waited_ms_ = 0;
    return;
  }
  m_waited_ms_ += kTickMs;
  if (m_failure_.empty() && m_waited_ms_ < kStepLimitMs) return;
  const QtScreen* l_screen = m_frame_.CurrentScreen();
  if (m_failure_.empty()) {
    m_failure_ = "step " + l_step + " could not act within 30 s (screen: " +
                 (l_screen != nullptr ? l_screen->objectName().toStdString() : std::string("none")) + ")";
  }
  m_timer_.stop();
  emit Failed(QString::fromStdString(m_failure_));
}

bool ScreenDriver::Try(const std::string& in_l_verb, const std::string& in_l_value) {
  QtScreen* l_screen = m_frame_.CurrentScreen();
  const bool l_ready = l_screen != nullptr && l_screen->isVisible();
  QWidget* l_modal = l_ready ? l_screen->OpenModal() : nullptr;
  if (in_l_verb == "pause") {
    if (m_pause_left_ms_ < 0) m_pause_left_ms_ = std::atoi(in_l_value.c_str());
    m_pause_left_ms_ -= kTickMs;
    if (m_pause_left_ms_ > 0) return false;
    m_pause_left_ms_ = -1;
    return true;
  }
  if (in_l_verb == "call") {
    const auto l_call = m_calls_.find(in_l_value);
    if (l_call == m_calls_.end()) {
      m_failure_ = "no call " + in_l_value;
      return false;
    }
    l_call->second();
    return true;
  }
  if (in_l_verb == "close") {
    m_frame_.close();
    return true;
  }
  if (!l_ready) return false;
  if (in_l_verb == "screen") return l_screen->objectName().toStdString() == in_l_value && l_modal == nullptr;
  if (in_l_verb == "shows") {
    const auto* l_child = l_screen->findChild<QWidget*>(QString::fromStdString(in_l_value));
    return l_child != nullptr && l_child->isVisible() && l_modal == nullptr;
  }
  if (in_l_verb == "fill") {
    const std::string::size_type l_colon = in_l_value.find(':');
    auto* l_field = l_screen->findChild<QLineEdit*>(QString::fromStdString(in_l_value.substr(0, l_colon)));
    if (l_field == nullptr || l_colon == std::string::npos || l_modal != nullptr) return false;
    l_field->setFocus();
    l_field->clear();
    QTest::keyClicks(l_field, QString::fromStdString(in_l_value.substr(l_colon + 1)));
    return true;
  }
  if (in_l_verb == "click" || in_l_verb == "alert") {
    QWidget* l_owner = l_modal != nullptr ? l_modal : l_screen;
    if (in_l_verb == "alert" && (l_modal == nullptr || l_modal->objectName() != QStringLiteral("EndAlertDialog"))) {
      return false;
    }
    auto* l_button = l_owner->findChild<QAbstractButton*>(QString::fromStdString(in_l_value));
    if (l_button == nullptr || !l_button->isVisible() || !l_button->isEnabled()) return false;
    l_button->click();
    return true;
  }
  if (in_l_verb == "key") {
    QWidget* l_target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : l_screen;
    if (l_modal != nullptr) l_target = l_modal;
    QTest::keyClick(l_target, in_l_value == "escape" ? Qt::Key_Escape : Qt::Key_Return);
    return true;
  }
  if (in_l_verb == "snap") {
    const QPixmap l_picture = l_modal != nullptr ? l_modal->grab() : m_frame_.grab();
    if (!l_picture.save(QString::fromStdString(in_l_value))) m_failure_ = "step snap cannot write " + in_l_value;
    return true;
  }
  m_failure_ = "unknown step " + in_l_verb;
  return true;
}

}  // namespace tavc::test
