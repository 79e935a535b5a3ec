#include "host/screens/qt/certificate_confirm_screen_gpki_ap.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/qt/qt_text.h"
#include "host/cert/gpki_ap_certificate.h"
#include "host/resources/message_texts.h"
#include "host/screens/gpki_certificate_rows.h"
#include "host/screens/qt/certificate_file_writer.h"
#include "host/screens/screen_titles.h"

namespace tavc {
namespace {

constexpr int kCaType = 1;
constexpr int kNameColumnWidth = 150;
constexpr int kListRows = 10;
constexpr int kLineCharacters = 40;
constexpr std::uint16_t kSaveModule = 0xD101;
constexpr std::uint8_t kSaveRoutine = 1;

QPlainTextEdit* ReadOnlyPane(const char* in_l_name, int in_l_lines, QWidget* in_l_parent) {
  auto* l_pane = new QPlainTextEdit(in_l_parent);
  l_pane->setObjectName(QString::fromLatin1(in_l_name));
  l_pane->setReadOnly(true);
  l_pane->setTabChangesFocus(true);
  l_pane->setMinimumHeight(l_pane->fontMetrics().height() + 8);
  l_pane->setMaximumHeight(l_pane->fontMetrics().height() * in_l_lines + 8);
  return l_pane;
}

}  // namespace

CertificateConfirmScreenGpkiAp::CertificateConfirmScreenGpkiAp(const ScreenRequest& in_l_request,
                                                               MessagePoster& io_l_poster,
                                                               ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "CertificateConfirmScreenGpkiAp"),
      m_card_certificate_(dynamic_cast<const GpkiApCertificate*>(in_l_request.certificate)),
      m_ca_certificate_(dynamic_cast<const GpkiApCertificate*>(in_l_request.second_certificate)) {
  Store().SetGpkiCertificateType(0);
  SetCaption(ScreenTitleId(ScreenKind::kCertificateConfirmGpkiAp, Store().GetMode()));
  AddOrigin();
  m_message_ = AddText("message", std::wstring());
  m_list_ = new QTreeWidget(this);
  m_list_->setObjectName(QStringLiteral("items"));
  m_list_->setColumnCount(2);
  m_list_->setHeaderLabels({QStringLiteral("項目名"), QStringLiteral("値")});
  m_list_->setRootIsDecorated(false);
  m_list_->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list_->setAllColumnsShowFocus(true);
  m_list_->header()->resizeSection(0, kNameColumnWidth);
  // Most of the items in view at once, the list's value column wide.
  m_list_->setMinimumHeight(m_list_->fontMetrics().height() * kListRows);
  SetLineCharacters(kLineCharacters);
  Body()->addWidget(m_list_, 1);
  AddText("detail_caption", LoadMessageText(3314));
  m_detail_ = ReadOnlyPane("detail", 4, this);
  Body()->addWidget(m_detail_);
  m_fingerprint_label_ = AddText("fingerprint_caption", LoadMessageText(3315));
  m_fingerprint_ = ReadOnlyPane("fingerprint", 2, this);
  Body()->addWidget(m_fingerprint_);
  m_toggle_ = new QPushButton(ToQString(LoadMessageText(3106)), this);
  m_toggle_->setObjectName(QStringLiteral("toggle"));
  Body()->addWidget(m_toggle_, 0, Qt::AlignLeft);
  QHBoxLayout* l_row = AddButtonRow();
  m_ok_ = AddButton(l_row, "ok", 3100);
  SetDefaultButton(m_ok_);
  QPushButton* l_save = AddButton(l_row, "save", 3105);
  QPushButton* l_cancel = AddButton(l_row, "cancel", 3101);
  connect(m_ok_, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(m_toggle_, &QPushButton::clicked, this, [this] { CertToggle(); });
  connect(l_save, &QPushButton::clicked, this, [this] { OnButtonSave(); });
  connect(l_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  // A click and the keys that move the selection (Up, Down, Home, End) show the row's detail.
  connect(m_list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* in_l_item) { ShowDetail(m_list_->indexOfTopLevelItem(in_l_item)); });
  connect(m_list_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* in_l_item) { ShowDetail(m_list_->indexOfTopLevelItem(in_l_item)); });
  SetListedDetail();
  AddVersionButton();
}

const GpkiApCertificate* CertificateConfirmScreenGpkiAp::Shown() const {
  return Store().GetGpkiCertificateType() == kCaType ? m_ca_certificate_ : m_card_certificate_;
}

void CertificateConfirmScreenGpkiAp::SetListedDetail() {
  const bool l_ca = Store().GetGpkiCertificateType() == kCaType;
  m_message_->setText(ToQString(LoadMessageText(l_ca ? 2081 : 2080)));
  m_fingerprint_label_->setVisible(l_ca);
  m_fingerprint_->setVisible(l_ca);
  m_toggle_->setVisible(!l_ca);
  m_ok_->setText(ToQString(LoadMessageText(l_ca ? 3104 : 3100)));
  m_details_.clear();
  // Emptied first, so that clearing the list shows no detail of the old rows.
  m_list_->blockSignals(true);
  m_list_->clear();
  m_list_->blockSignals(false);
  const GpkiApCertificate* l_certificate = Shown();
  if (l_certificate != nullptr) {
    for (GpkiRow& l_row : GpkiRows(*l_certificate, l_ca)) {
      m_list_->addTopLevelItem(new QTreeWidgetItem({ToQString(l_row.label), ToQString(l_row.value)}));
      m_details_.push_back(std::move(l_row.detail));
    }
    m_fingerprint_->setPlainText(l_ca ? ToQString(l_certificate->GetGpkiFingerPrint()) : QString());
  }
  m_detail_->clear();
}

void CertificateConfirmScreenGpkiAp::CertToggle() {
  Store().SetGpkiCertificateType(Store().GetGpkiCertificateType() == kCaType ? 0 : kCaType);
  SetListedDetail();
}

void CertificateConfirmScreenGpkiAp::OnOk() {
  if (Store().GetGpkiCertificateType() == kCaType) {
    CertToggle();
    return;
  }
  Post(WM_APP03);
}

void CertificateConfirmScreenGpkiAp::OnButtonSave() {
  // Window-modal and the screen's child: an interrupt that replaces the screen closes it.
  auto* l_dialog = new QFileDialog(this, QString(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                   QStringLiteral("証明書ファイル (*.cer)"));
  l_dialog->setObjectName(QStringLiteral("SaveDialog"));
  l_dialog->setAttribute(Qt::WA_DeleteOnClose);
  l_dialog->setWindowModality(Qt::WindowModal);
  l_dialog->setAcceptMode(QFileDialog::AcceptSave);
  l_dialog->setFileMode(QFileDialog::AnyFile);
  l_dialog->setDefaultSuffix(QStringLiteral("cer"));
  l_dialog->setOption(QFileDialog::DontUseNativeDialog);
  connect(l_dialog, &QFileDialog::fileSelected, this, [this](const QString& in_l_path) { OnSaveChosen(in_l_path); });
  l_dialog->open();
}

void CertificateConfirmScreenGpkiAp::OnSaveChosen(const QString& in_l_path) {
  const GpkiApCertificate* l_certificate = Shown();
  const std::wstring l_hex = l_certificate != nullptr ? l_certificate->GetCertificateHex() : std::wstring();
  const int l_point = WriteCertificateFile(QFile::encodeName(in_l_path).toStdString(), l_hex);
  // A cancelled dialog and a written file leave the screen as it is.
  if (l_point == 0) return;
  Error().SetCardError(L"EW044-4499", kSaveModule, kSaveRoutine, static_cast<std::uint8_t>(l_point));
  Post(WM_APP05, 1);
}

void CertificateConfirmScreenGpkiAp::ShowDetail(int in_l_row) {
  if (in_l_row < 0 || static_cast<std::size_t>(in_l_row) >= m_details_.size()) return;
  m_detail_->setPlainText(ToQString(MakeLinefeed(m_details_[static_cast<std::size_t>(in_l_row)])));
}

}  // namespace tavc
