#include "wrapper/qt/file_selector_dlg.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "common/origin_line.h"
#include "common/qt/origin_label.h"
#include "common/qt/qt_text.h"
#include "common/secure_wipe.h"
#include "wrapper/origin_member.h"
#include "wrapper/qt/message_boxes.h"
#include "wrapper/wrapper_texts.h"

namespace {

QString Text(unsigned in_id) { return tavc::ToQString(WrapperText(in_id)); }

// The last file chosen in this process: the next browse starts there.
QString g_lastFileName;

template <typename Widget>
Widget* Named(Widget* in_widget, const char* in_name) {
  in_widget->setObjectName(in_name);
  return in_widget;
}

}  // namespace

CFileSelectorDlg::CFileSelectorDlg(const std::wstring& in_request, FileDialogEvents& in_events, QWidget* in_parent)
    : QDialog(in_parent), m_events(in_events) {
  setWindowTitle(Text(IDS_FILE_CAPTION));
  auto* l_layout = new QVBoxLayout(this);
  // Not resizable, as on Windows; sized by its lines at the width it takes, the origin's included.
  l_layout->setSizeConstraint(QLayout::SetFixedSize);
  tavc::RequestOrigin l_origin;
  if (OriginMemberOf(in_request, l_origin) == OriginMember::kWellFormed) {
    l_layout->addWidget(Named(new tavc::OriginLabel(tavc::OriginPieces(WrapperText(IDS_ORIGIN_LABEL),
                                                                        tavc::SplitOriginForDisplay(l_origin)),
                                                     {}),
                              "originLabel"));
  }
  auto* l_guide = Named(new QLabel(Text(IDS_FILE_GUIDE)), "guideLabel");
  l_guide->setWordWrap(true);
  l_layout->addWidget(l_guide);

  auto* l_fields = new QGridLayout;
  auto* l_file_label = new QLabel(Text(IDS_FILE_LABEL));
  m_fileEdit = Named(new QLineEdit, "fileEdit");
  m_fileEdit->setReadOnly(true);
  m_fileEdit->setMinimumWidth(m_fileEdit->fontMetrics().averageCharWidth() * 40);
  l_file_label->setBuddy(m_fileEdit);
  auto* l_browse = Named(new QPushButton(Text(IDS_REF)), "browseButton");
  auto* l_password_label = new QLabel(Text(IDS_PASSWORD_LABEL));
  m_passwordEdit = Named(new QLineEdit, "passwordEdit");
  m_passwordEdit->setEchoMode(QLineEdit::Password);
  // The password goes in as typed, never through an input method's composition.
  m_passwordEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
  l_password_label->setBuddy(m_passwordEdit);
  m_viewPassword = Named(new QCheckBox(Text(IDS_VIEW_PASSWORD)), "viewPassword");
  l_fields->addWidget(l_file_label, 0, 0, 1, 2);
  l_fields->addWidget(m_fileEdit, 1, 0);
  l_fields->addWidget(l_browse, 1, 1);
  l_fields->addWidget(l_password_label, 2, 0, 1, 2);
  l_fields->addWidget(m_passwordEdit, 3, 0, 1, 2);
  l_fields->addWidget(m_viewPassword, 4, 0, 1, 2);
  l_layout->addLayout(l_fields);

  auto* l_buttons = new QHBoxLayout;
  l_buttons->addStretch();
  auto* l_ok = Named(new QPushButton(Text(IDS_OK)), "okButton");
  auto* l_cancel = Named(new QPushButton(Text(IDS_CANCEL)), "cancelButton");
  l_ok->setDefault(true);
  l_buttons->addWidget(l_ok);
  l_buttons->addWidget(l_cancel);
  l_layout->addLayout(l_buttons);
  setTabOrder(l_browse, m_passwordEdit);

  connect(l_browse, &QPushButton::clicked, this, [this] { Guarded([this] { OnBnClickedButtonRef(); }); });
  connect(m_viewPassword, &QCheckBox::toggled, this, [this] { Guarded([this] { OnBnClickedCheckViewPassword(); }); });
  connect(l_ok, &QPushButton::clicked, this, [this] { Guarded([this] { OnBnClickedButtonOk(); }); });
  connect(l_cancel, &QPushButton::clicked, this, [this] { Guarded([this] { OnBnClickedButtonCancel(); }); });
  l_browse->setFocus();
}

template <typename Handler>
void CFileSelectorDlg::Guarded(Handler&& in_handler) noexcept {
  try {
    in_handler();
  } catch (...) {
    m_ended = true;
    m_events.OnDialogFailed();
  }
}

void CFileSelectorDlg::EndRun() {
  m_ended = true;
  m_passwordEdit->setText({});
  hide();
}

void CFileSelectorDlg::OnBnClickedCheckViewPassword() {
  m_passwordEdit->setEchoMode(m_viewPassword->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
  m_passwordEdit->setFocus();
}

void CFileSelectorDlg::OnBnClickedButtonRef() {
  const QString l_start =
      g_lastFileName.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) : g_lastFileName;
  const QString l_filter = Text(IDS_FILTER_CERTIFICATE) + ";;" + Text(IDS_FILTER_ALL);
  const QString l_file = QFileDialog::getOpenFileName(this, Text(IDS_CHOOSE_FILE_TITLE), l_start, l_filter, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
  if (l_file.isEmpty()) return;
  m_fileEdit->setText(l_file);
  g_lastFileName = l_file;
}

void CFileSelectorDlg::OnBnClickedButtonOk() {
  const std::wstring l_file = tavc::FromQString(m_fileEdit->text());
  std::wstring l_password = tavc::FromQString(m_passwordEdit->text());
  const tavc::ScopedWipe<std::wstring> l_wipe(l_password);
  // Emptied at once, the undo history too: each try types the password again.
  m_passwordEdit->setText({});
  if (l_file.empty() || l_password.empty()) {
    CErrorMessageDlg l_box(WrapperText(IDS_FILE_OR_PASSWORD_MISSING), this);
    l_box.exec();
    return;
  }
  m_events.OnFileChosen(l_file, l_password);
}

void CFileSelectorDlg::OnBnClickedButtonCancel() {
  if (m_ended || CEndConfirmDlg::Ask(this) == EndChoice::kStay) return;
  m_ended = true;
  m_events.OnEndChosen();
}

void CFileSelectorDlg::closeEvent(QCloseEvent* in_event) {
  // The frame closes the dialog itself once the run has ended.
  if (!m_ended) {
    in_event->ignore();
    Guarded([this] { OnBnClickedButtonCancel(); });
    return;
  }
  QDialog::closeEvent(in_event);
}

void CFileSelectorDlg::reject() {
  // Escape asks too, rather than closing the dialog.
  Guarded([this] { OnBnClickedButtonCancel(); });
}
