#include "host/screens/qt/end_alert_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/qt/qt_text.h"
#include "host/resources/message_texts.h"

namespace tavc {

EndAlertDialog::EndAlertDialog(ErrorInfo* in_l_error_info, DataStore* in_l_data_store, MessagePoster& io_l_poster,
                               QWidget* in_l_screen)
    : QDialog(in_l_screen), m_alert_(std::make_unique<EndAlert>(io_l_poster)) {
  setObjectName(QStringLiteral("EndAlertDialog"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::WindowModal);
  setWindowTitle(ToQString(LoadJapaneseText(EndAlert::kCaptionText)));
  auto* l_layout = new QVBoxLayout(this);
  auto* l_question = new QLabel(ToQString(LoadJapaneseText(EndAlert::kQuestionText)), this);
  l_question->setObjectName(QStringLiteral("question"));
  l_layout->addWidget(l_question);
  auto* l_row = new QHBoxLayout();
  l_row->addStretch(1);
  auto* l_ok = new QPushButton(ToQString(LoadJapaneseText(EndAlert::kOkText)), this);
  l_ok->setObjectName(QStringLiteral("ok"));
  l_ok->setDefault(true);
  auto* l_cancel = new QPushButton(ToQString(LoadJapaneseText(EndAlert::kCancelText)), this);
  l_cancel->setObjectName(QStringLiteral("cancel"));
  l_row->addWidget(l_ok);
  l_row->addWidget(l_cancel);
  l_row->addStretch(1);
  l_layout->addLayout(l_row);
  connect(l_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(l_cancel, &QPushButton::clicked, this, &QDialog::reject);
  m_alert_->Initialize(in_l_error_info, in_l_data_store);
  // A second alert records its error and still asks; its answers then only cancel.
  m_alert_->OnInitDialog();
}

EndAlertDialog::~EndAlertDialog() = default;

void EndAlertDialog::accept() {
  if (m_alert_) m_alert_->OnOK();
  m_alert_.reset();
  QDialog::accept();
}

void EndAlertDialog::reject() {
  // The close box and Escape arrive here too.
  if (m_alert_) m_alert_->OnCancel();
  m_alert_.reset();
  QDialog::reject();
}

}  // namespace tavc
