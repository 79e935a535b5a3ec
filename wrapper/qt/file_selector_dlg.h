#pragma once
// The certificate-file dialog in Qt: a file chosen through the file chooser,
// its password typed, the origin of the request above the guide when the
// request names one. Its OK hands the file and the password to the frame; its
// Cancel, or closing the window, asks before the run ends.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <string>

#include "wrapper/posix/wrapper_ui.h"

class CFileSelectorDlg final : public QDialog {
  Q_OBJECT

 public:
  CFileSelectorDlg(const std::wstring& in_request, FileDialogEvents& in_events, QWidget* in_parent = nullptr);
  // The run has ended: the dialog goes without asking.
  void EndRun();

 protected:
  // Closing the window asks, as Cancel does.
  void closeEvent(QCloseEvent* in_event) override;
  void reject() override;

 private:
  void OnBnClickedButtonRef();
  void OnBnClickedCheckViewPassword();
  void OnBnClickedButtonOk();
  void OnBnClickedButtonCancel();
  // Runs a handler inside the dialog's catch boundary.
  template <typename Handler>
  void Guarded(Handler&& in_handler) noexcept;

  FileDialogEvents& m_events;
  QLineEdit* m_fileEdit = nullptr;
  QLineEdit* m_passwordEdit = nullptr;
  QCheckBox* m_viewPassword = nullptr;
  bool m_ended = false;
};
