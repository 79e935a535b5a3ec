#include "wrapper/qt/qt_wrapper_ui.h"

#include <cstdlib>

#include "common/qt/japanese_first.h"
#include "wrapper/qt/message_boxes.h"

namespace {

bool HasDisplay() {
  for (const char* l_name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
    const char* l_value = std::getenv(l_name);
    if (l_value != nullptr && l_value[0] != '\0') return true;
  }
  return false;
}

}  // namespace

QtWrapperUi::~QtWrapperUi() {
  delete m_fileDlg;
  m_queueNotifier.reset();
}

bool QtWrapperUi::StartQt() {
  if (m_application) return true;
  // Without one, Qt would end the process on its start.
  if (!HasDisplay()) return false;
  static int s_argc = 1;
  static char s_name[] = "TAV_Wrapper";
  static char* s_argv[] = {s_name, nullptr};
  m_application = std::make_unique<QApplication>(s_argc, s_argv);
  QApplication::setQuitOnLastWindowClosed(false);
  tavc::PreferJapanese();
  m_queueNotifier = std::make_unique<QSocketNotifier>(m_queue.Fd(), QSocketNotifier::Read);
  QObject::connect(m_queueNotifier.get(), &QSocketNotifier::activated, [this] { m_queue.RunPending(); });
  return true;
}

bool QtWrapperUi::ShowFileDialog(const std::wstring& in_request, FileDialogEvents& in_events) {
  if (!StartQt()) return false;
  m_fileDlg = new CFileSelectorDlg(in_request, in_events);
  m_fileDlg->show();
  m_fileDlg->raise();
  m_fileDlg->activateWindow();
  return true;
}

void QtWrapperUi::HideFileDialog() {
  if (m_fileDlg) m_fileDlg->hide();
}

void QtWrapperUi::RaiseFileDialog() {
  if (!m_fileDlg) return;
  m_fileDlg->show();
  m_fileDlg->raise();
  m_fileDlg->activateWindow();
}

void QtWrapperUi::ShowError(const std::wstring& in_code_or_text) {
  if (!StartQt()) return;
  CErrorMessageDlg l_box(in_code_or_text, m_fileDlg);
  l_box.exec();
}

void QtWrapperUi::ShowLoneError(const std::wstring& in_code_or_text, int in_close_when_ended) {
  if (!StartQt()) return;
  CErrorMessageDlg l_box(in_code_or_text);
  if (in_close_when_ended >= 0) l_box.CloseWhenEnded(in_close_when_ended);
  l_box.exec();
}

void QtWrapperUi::CloseAll() {
  if (m_fileDlg) m_fileDlg->EndRun();
  if (!m_application) return;
  for (QWidget* l_window : QApplication::topLevelWidgets()) {
    if (auto* l_dialog = qobject_cast<QDialog*>(l_window); l_dialog != nullptr && l_dialog->isModal()) {
      l_dialog->reject();
    }
  }
}

void QtWrapperUi::WaitForEvents() {
  if (m_application) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  } else {
    m_queue.WaitAndRun(std::chrono::milliseconds(-1));
  }
}
