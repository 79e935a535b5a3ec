#include "host/screens/qt/password_set_screen.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "common/qt/qt_text.h"
#include "common/secure_wipe.h"
#include "host/resources/message_texts.h"
#include "host/screens/origin_notice.h"
#include "host/screens/qt/password_field.h"
#include "host/screens/screen_titles.h"

namespace tavc {
namespace {

// The 4-digit field is narrow and centred, in average characters.
constexpr int kNarrowCharacters = 12;

}  // namespace

PasswordSetScreen::PasswordSetScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                     ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "PasswordSetScreen"),
      m_rule_(PasswordRuleFor(in_l_request.data_store->GetMode())) {
  const RequestMode l_mode = Store().GetMode();
  SetCaption(ScreenTitleId(ScreenKind::kPasswordEntry, l_mode));
  AddBanner();
  AddOrigin(SignatureCountNotice(Store()));
  AddText("prompt", LoadMessageText(m_rule_.prompt_id));
  m_error_line_ = AddErrorLine(Error().GetMessage());
  m_field_ = new PasswordField("password", m_rule_.limit,
                               [this](const std::wstring& in_l_text) { return FilterPassword(m_rule_, in_l_text); },
                               this);
  if (m_rule_.limit == 4) {
    m_field_->setFixedWidth(m_field_->fontMetrics().averageCharWidth() * kNarrowCharacters);
    Body()->addWidget(m_field_, 0, Qt::AlignHCenter);
  } else {
    Body()->addWidget(m_field_);
  }
  auto* l_show = new QCheckBox(ToQString(LoadMessageText(3300)), this);
  l_show->setObjectName(QStringLiteral("show"));
  Body()->addWidget(l_show, 0, Qt::AlignHCenter);
  connect(l_show, &QCheckBox::toggled, this, [this](bool in_l_on) {
    m_field_->SetShown(in_l_on);
    m_field_->setFocus();
  });
  QHBoxLayout* l_row = AddButtonRow();
  m_ok_ = AddButton(l_row, "ok", 3100);
  SetDefaultButton(m_ok_);
  m_ok_->setEnabled(false);
  QPushButton* l_cancel = AddButton(l_row, "cancel", 3101);
  // Cancel is not drawn as the default button.
  l_cancel->setAutoDefault(false);
  connect(m_field_, &QLineEdit::textChanged, this,
          [this] { m_ok_->setEnabled(m_field_->text().size() >= m_rule_.minimum); });
  connect(m_ok_, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(l_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  if (PasswordChangeLinkShown(l_mode, Store().GetPwChange())) {
    QLabel* l_link = AddText("change_link", LoadMessageText(3307));
    l_link->setTextFormat(Qt::RichText);
    l_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l_link->setFocusPolicy(Qt::StrongFocus);
    l_link->setAlignment(Qt::AlignRight);
    connect(l_link, &QLabel::linkActivated, this, [this] { OnLink(); });
  }
  AddVersionButton();
  SetFirstFocus(m_field_);
}

void PasswordSetScreen::OnOk() {
  // Enter reaches OK only while it is enabled; the check stays for text set otherwise.
  if (!m_ok_->isEnabled()) return;
  Error().SetError(L"", L"", L"", L"");
  std::wstring l_text = m_field_->Text();
  ScopedWipe<std::wstring> l_wipe(l_text);
  const bool l_valid = std::all_of(l_text.begin(), l_text.end(),
                                   [&](wchar_t in_l_unit) { return PasswordCharacterAllowed(m_rule_, in_l_unit); });
  if (!l_valid) {
    Error().SetError(m_rule_.invalid_code, L"", L"", L"");
    DisplayError();
    return;
  }
  if (m_rule_.upper_case) {
    std::transform(l_text.begin(), l_text.end(), l_text.begin(), [](wchar_t in_l_unit) {
      return in_l_unit >= L'a' && in_l_unit <= L'z' ? static_cast<wchar_t>(in_l_unit - L'a' + L'A') : in_l_unit;
    });
  }
  Store().SetPassword(l_text);
  // The typed text stays in the store only.
  m_field_->Clear();
  Post(WM_APP03);
}

void PasswordSetScreen::DisplayError() {
  m_error_line_->setText(ToQString(Error().GetMessage()));
  m_error_line_->setVisible(true);
  m_field_->Clear();
  m_field_->setFocus();
}

void PasswordSetScreen::OnLink() {
  Store().SetCancelType(1);
  Post(WM_APP04);
}

}  // namespace tavc
