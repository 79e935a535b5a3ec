#include "host/screens/qt/qt_screen.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/qt/origin_label.h"
#include "common/qt/qt_text.h"
#include "host/resources/message_texts.h"
#include "host/screens/origin_notice.h"
#include "host/screens/qt/end_alert_dialog.h"
#include "host/screens/qt/version_info_dialog.h"

namespace tavc {
namespace {

constexpr int kUrlPointSize = 12;
// The address field shows two lines and scrolls beyond.
constexpr int kUrlLines = 2;

}  // namespace

QtScreen::QtScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory,
                   const char* in_l_name)
    : QDialog(nullptr, Qt::Widget), m_request_(in_l_request), m_poster_(io_l_poster), m_factory_(io_l_factory) {
  // The screen's class name, by which tools and tests tell screens apart.
  setObjectName(QString::fromLatin1(in_l_name));
  setAutoFillBackground(true);
  QPalette l_palette = palette();
  l_palette.setColor(QPalette::Window, Qt::white);
  setPalette(l_palette);
  m_body_ = new QVBoxLayout(this);
  // The screen's size comes from PreferredSize: a wrapped text's minimum is its
  // height at its narrowest, far more than it needs at the screen's width.
  m_body_->setSizeConstraint(QLayout::SetNoConstraint);
  m_top_ = new QHBoxLayout();
  m_body_->addLayout(m_top_);
}

QtScreen::~QtScreen() = default;

void QtScreen::OnClose() { OpenEndAlert(); }

void QtScreen::reject() { OnCancel(); }

QDialog* QtScreen::OpenModal() const { return m_modal_.data(); }

void QtScreen::FocusFirst() {
  QWidget* l_first = m_first_focus_.data();
  if (l_first == nullptr && m_default_ != nullptr && m_default_->isVisibleTo(this)) l_first = m_default_.data();
  (l_first != nullptr ? l_first : this)->setFocus(Qt::OtherFocusReason);
}

QSize QtScreen::PreferredSize() {
  ensurePolished();
  const int l_line = fontMetrics().horizontalAdvance(QString(m_line_characters_, QChar(0x3042)));
  const int l_width = std::max(sizeHint().width(), l_line);
  return {l_width, hasHeightForWidth() ? heightForWidth(l_width) : sizeHint().height()};
}

void QtScreen::SetDefaultButton(QPushButton* in_l_button) {
  in_l_button->setDefault(true);
  m_default_ = in_l_button;
}

void QtScreen::keyPressEvent(QKeyEvent* in_l_event) {
  // A dialog inside another window loses its default button to Qt's focus
  // rules; the screen keeps its own. A focused button takes Enter itself.
  const int l_key = in_l_event->key();
  if ((l_key == Qt::Key_Return || l_key == Qt::Key_Enter) && in_l_event->modifiers() == Qt::NoModifier) {
    if (m_default_ != nullptr && m_default_->isVisible() && m_default_->isEnabled()) m_default_->click();
    return;
  }
  if (l_key == Qt::Key_Escape && in_l_event->modifiers() == Qt::NoModifier) {
    reject();
    return;
  }
  QDialog::keyPressEvent(in_l_event);
}

void QtScreen::SetCaption(std::uint32_t in_l_title_id) { setWindowTitle(ToQString(LoadMessageText(in_l_title_id))); }

void QtScreen::AddBanner() {
  const std::wstring l_service = Store().GetServiceId();
  const char* l_file = l_service == L"01" ? ":/tav/tavori.bmp" : l_service == L"02" ? ":/tav/etax.bmp" : nullptr;
  if (l_file == nullptr) return;
  auto* l_banner = new QLabel(this);
  l_banner->setObjectName(QStringLiteral("banner"));
  l_banner->setPixmap(QPixmap(QString::fromLatin1(l_file)));
  m_top_->addStretch(1);
  m_top_->addWidget(l_banner, 0, Qt::AlignHCenter);
}

void QtScreen::AddVersionButton() {
  auto* l_button = new QToolButton(this);
  l_button->setObjectName(QStringLiteral("version"));
  QIcon l_icon;
  l_icon.addPixmap(QPixmap(QStringLiteral(":/tav/info.bmp")), QIcon::Normal);
  l_icon.addPixmap(QPixmap(QStringLiteral(":/tav/info_hover.bmp")), QIcon::Active);
  l_button->setIcon(l_icon);
  l_button->setAutoRaise(true);
  l_button->setAccessibleName(ToQString(LoadJapaneseText(3009)));
  connect(l_button, &QToolButton::clicked, this, [this] { OpenVersionInfo(); });
  m_top_->addStretch(1);
  m_top_->addWidget(l_button, 0, Qt::AlignTop | Qt::AlignRight);
}

QLabel* QtScreen::AddText(const char* in_l_name, const std::wstring& in_l_text) {
  auto* l_label = new QLabel(ToQString(in_l_text), this);
  l_label->setObjectName(QString::fromLatin1(in_l_name));
  l_label->setWordWrap(true);
  l_label->setTextFormat(Qt::PlainText);
  m_body_->addWidget(l_label);
  return l_label;
}

QLabel* QtScreen::AddErrorLine(const std::wstring& in_l_text, bool in_l_red) {
  QLabel* l_line = AddText("error", in_l_text);
  if (in_l_red) {
    QPalette l_palette = l_line->palette();
    l_palette.setColor(QPalette::WindowText, Qt::red);
    l_line->setPalette(l_palette);
  }
  l_line->setVisible(!in_l_text.empty());
  return l_line;
}

QPlainTextEdit* QtScreen::AddAddress(std::uint32_t in_l_caption_id, const std::wstring& in_l_address) {
  AddText("address_caption", LoadMessageText(in_l_caption_id));
  auto* l_field = new QPlainTextEdit(ToQString(in_l_address), this);
  l_field->setObjectName(QStringLiteral("address"));
  l_field->setReadOnly(true);
  l_field->setTabChangesFocus(true);
  QFont l_font = l_field->font();
  l_font.setPointSize(kUrlPointSize);
  l_field->setFont(l_font);
  l_field->setMinimumHeight(l_field->fontMetrics().height() + 2 * l_field->frameWidth() + 8);
  l_field->setMaximumHeight(l_field->fontMetrics().height() * kUrlLines + 2 * l_field->frameWidth() + 8);
  m_body_->addWidget(l_field);
  return l_field;
}

void QtScreen::AddOrigin(const std::wstring& in_l_extra_line) {
  std::vector<OriginRun> l_pieces = OriginNoticePieces(Store());
  if (l_pieces.empty()) return;
  std::vector<std::wstring> l_extra;
  if (!in_l_extra_line.empty()) l_extra.push_back(in_l_extra_line);
  m_body_->addWidget(new OriginLabel(std::move(l_pieces), std::move(l_extra), this));
}

QHBoxLayout* QtScreen::AddButtonRow() {
  auto* l_row = new QHBoxLayout();
  l_row->addStretch(1);
  // Room the screen has to spare goes to its lists and panes (stretch 1) when
  // it has any, else here: the buttons stay at the bottom.
  m_body_->addStretch(0);
  m_body_->addLayout(l_row);
  return l_row;
}

QPushButton* QtScreen::AddButton(QHBoxLayout* io_l_row, const char* in_l_name, std::uint32_t in_l_text_id) {
  auto* l_button = new QPushButton(ToQString(LoadMessageText(in_l_text_id)), this);
  l_button->setObjectName(QString::fromLatin1(in_l_name));
  // The row's centre stays centred: a stretch on each side of the buttons.
  if (io_l_row->count() > 1) delete io_l_row->takeAt(io_l_row->count() - 1);
  io_l_row->addWidget(l_button);
  io_l_row->addStretch(1);
  return l_button;
}

void QtScreen::Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam) const {
  m_poster_.Post(in_l_message, in_l_wparam, 0);
}

void QtScreen::OpenNextScreen(ScreenKind in_l_kind) const {
  ScreenRequest l_request = m_request_;
  l_request.kind = in_l_kind;
  std::unique_ptr<Screen> l_screen = m_factory_.CreateScreen(l_request);
  if (!l_screen || !l_screen->Create()) return;
  Screen* l_posted = l_screen.release();
  if (!m_poster_.Post(WM_TVNNOTIFY, 0, reinterpret_cast<std::intptr_t>(l_posted))) {
    std::unique_ptr<Screen> l_lost(l_posted);
    l_lost->DestroyWindow();
  }
}

void QtScreen::OpenEndAlert() {
  // One question at a time: a second close brings the open one forward.
  if (m_modal_ != nullptr) {
    m_modal_->raise();
    m_modal_->activateWindow();
    return;
  }
  auto* l_alert = new EndAlertDialog(m_request_.error_info, m_request_.data_store, m_poster_, this);
  m_modal_ = l_alert;
  l_alert->open();
}

void QtScreen::OpenVersionInfo() {
  if (m_modal_ != nullptr) return;
  auto* l_dialog = new VersionInfoDialog(Store().GetOwnVersion(), this);
  m_modal_ = l_dialog;
  l_dialog->open();
}

}  // namespace tavc
