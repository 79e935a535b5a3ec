#include "host/screens/qt/password_change_screen.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/qt/qt_text.h"
#include "common/secure_wipe.h"
#include "host/resources/message_texts.h"
#include "host/screens/qt/password_field.h"
#include "host/screens/screen_titles.h"

namespace tavc {
namespace {

struct FieldRow {
  const char* name;
  std::uint32_t label;
};

constexpr FieldRow kRows[] = {{"current", 135}, {"new", 136}, {"confirmation", 137}};
// The 4-digit fields are narrow, in average characters.
constexpr int kNarrowCharacters = 12;

}  // namespace

PasswordChangeScreen::PasswordChangeScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                           ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "PasswordChangeScreen"),
      m_rule_(PasswordChangeRuleFor(in_l_request.data_store->GetMode(), in_l_request.data_store->GetPasswordType())) {
  SetCaption(ScreenTitleId(ScreenKind::kPasswordChange, Store().GetMode()));
  AddOrigin();
  AddText("prompt", LoadMessageText(m_rule_.prompt_id));
  m_error_line_ = AddErrorLine(Error().GetMessage(), false);
  QFont l_bold = m_error_line_->font();
  l_bold.setBold(true);
  m_error_line_->setFont(l_bold);
  auto* l_form = new QFormLayout();
  for (std::size_t l_i = 0; l_i < m_fields_.size(); ++l_i) {
    m_fields_[l_i] = new PasswordField(
        kRows[l_i].name, m_rule_.limit,
        [this](const std::wstring& in_l_text) { return FilterChangedPassword(m_rule_, in_l_text); }, this);
    if (m_rule_.limit == 4) {
      m_fields_[l_i]->setFixedWidth(m_fields_[l_i]->fontMetrics().averageCharWidth() * kNarrowCharacters);
    }
    auto* l_label = new QLabel(ToQString(LoadMessageText(kRows[l_i].label)), this);
    l_label->setBuddy(m_fields_[l_i]);
    l_form->addRow(l_label, m_fields_[l_i]);
    connect(m_fields_[l_i], &QLineEdit::textChanged, this, [this] { UpdateOk(); });
  }
  Body()->addLayout(l_form);
  auto* l_show = new QCheckBox(ToQString(LoadMessageText(3300)), this);
  l_show->setObjectName(QStringLiteral("show"));
  Body()->addWidget(l_show, 0, Qt::AlignHCenter);
  connect(l_show, &QCheckBox::toggled, this, [this](bool in_l_on) {
    for (PasswordField* l_field : m_fields_) l_field->SetShown(in_l_on);
  });
  // The signature password starts in plain text.
  l_show->setChecked(m_rule_.shown_at_start);
  QHBoxLayout* l_row = AddButtonRow();
  m_ok_ = AddButton(l_row, "ok", 3100);
  SetDefaultButton(m_ok_);
  m_ok_->setEnabled(false);
  QPushButton* l_cancel = AddButton(l_row, "cancel", 3101);
  l_cancel->setAutoDefault(false);
  connect(m_ok_, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(l_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  AddVersionButton();
  SetFirstFocus(m_fields_[0]);
}

void PasswordChangeScreen::UpdateOk() {
  bool l_enough = true;
  for (const PasswordField* l_field : m_fields_) l_enough = l_enough && l_field->text().size() >= m_rule_.minimum;
  m_ok_->setEnabled(l_enough);
}

void PasswordChangeScreen::OnOk() {
  if (!m_ok_->isEnabled()) return;
  Error().SetError(L"", L"", L"", L"");
  std::wstring l_current = m_fields_[0]->Text();
  std::wstring l_new = m_fields_[1]->Text();
  std::wstring l_confirmation = m_fields_[2]->Text();
  ScopedWipe<std::wstring> l_wipe_current(l_current);
  ScopedWipe<std::wstring> l_wipe_new(l_new);
  ScopedWipe<std::wstring> l_wipe_confirmation(l_confirmation);
  const std::wstring l_code = TakePasswordChange(Store(), l_current, l_new, l_confirmation);
  if (!l_code.empty()) {
    Error().SetError(l_code, L"", L"", L"");
    DisplayError();
    return;
  }
  // The typed texts stay in the store only.
  for (PasswordField* l_field : m_fields_) l_field->Clear();
  Post(WM_APP03);
}

void PasswordChangeScreen::DisplayError() {
  m_error_line_->setText(ToQString(Error().GetMessage()));
  m_error_line_->setVisible(true);
  for (PasswordField* l_field : m_fields_) l_field->Clear();
  m_fields_[0]->setFocus();
}

void PasswordChangeScreen::OnCancel() {
  if (Store().GetMode() == RequestMode::kGpkiPasswordChange) {
    OnClose();
    return;
  }
  OpenNextScreen(ScreenKind::kPasswordSelect);
}

}  // namespace tavc
