#include "wrapper/qt/message_boxes.h"

#include <unistd.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>
#include <QVBoxLayout>

#include <cerrno>

#include "common/qt/qt_text.h"
#include "wrapper/error_message_text.h"
#include "wrapper/wrapper_texts.h"

namespace {

QString Text(unsigned in_id) { return tavc::ToQString(WrapperText(in_id)); }

QPushButton* AddButton(QHBoxLayout* in_row, const char* in_name, unsigned in_text) {
  auto* l_button = new QPushButton(Text(in_text));
  l_button->setObjectName(in_name);
  in_row->addWidget(l_button);
  return l_button;
}

}  // namespace

CErrorMessageDlg::CErrorMessageDlg(const std::wstring& in_code_or_text, QWidget* in_parent) : QDialog(in_parent) {
  setWindowTitle(Text(IDS_ERROR_CAPTION));
  auto* l_layout = new QVBoxLayout(this);
  auto* l_message = new QLabel(tavc::ToQString(ErrorBoxText(in_code_or_text)));
  l_message->setObjectName("message");
  l_message->setWordWrap(true);
  l_message->setTextFormat(Qt::PlainText);
  l_layout->addWidget(l_message);
  auto* l_row = new QHBoxLayout;
  l_row->addStretch();
  QPushButton* l_ok = AddButton(l_row, "okButton", IDS_OK);
  l_ok->setDefault(true);
  l_row->addStretch();
  l_layout->addLayout(l_row);
  connect(l_ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CErrorMessageDlg::CloseWhenEnded(int in_input) {
  auto* l_notifier = new QSocketNotifier(in_input, QSocketNotifier::Read, this);
  connect(l_notifier, &QSocketNotifier::activated, this, [this, l_notifier, in_input] {
    // Whatever the page still sends is read past; its end closes the box.
    char l_bytes[4096];
    ssize_t l_read;
    do {
      l_read = read(in_input, l_bytes, sizeof(l_bytes));
    } while (l_read < 0 && errno == EINTR);
    if (l_read > 0) return;
    l_notifier->setEnabled(false);
    reject();
  });
}

CEndConfirmDlg::CEndConfirmDlg(QWidget* in_parent) : QDialog(in_parent) {
  setWindowTitle(Text(IDS_END_CAPTION));
  auto* l_layout = new QVBoxLayout(this);
  auto* l_message = new QLabel(Text(IDS_END_TEXT));
  l_message->setObjectName("message");
  l_message->setAlignment(Qt::AlignCenter);
  l_layout->addWidget(l_message);
  auto* l_row = new QHBoxLayout;
  l_row->addStretch();
  QPushButton* l_ok = AddButton(l_row, "okButton", IDS_OK);
  QPushButton* l_cancel = AddButton(l_row, "cancelButton", IDS_CANCEL);
  l_ok->setDefault(true);
  l_row->addStretch();
  l_layout->addLayout(l_row);
  connect(l_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(l_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

EndChoice CEndConfirmDlg::Ask(QWidget* in_parent) {
  CEndConfirmDlg l_box(in_parent);
  return l_box.exec() == QDialog::Accepted ? EndChoice::kEnd : EndChoice::kStay;
}
