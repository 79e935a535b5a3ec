#include "host/screens/qt/password_select_screen.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/qt/qt_text.h"
#include "host/resources/message_texts.h"
#include "host/screens/password_change_rules.h"
#include "host/screens/screen_titles.h"

namespace tavc {
namespace {

struct Choice {
  int radio;
  const char* name;
  std::uint32_t text;
  std::uint32_t description_text;
};

// The radio IDs are those the portable rules map to password types.
constexpr Choice kChoices[] = {
    {1047, "signature", 130, 3304},
    {1048, "authentication", 131, 3305},
    {1049, "surface", 133, 3306},
};

}  // namespace

PasswordSelectScreen::PasswordSelectScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                           ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "PasswordSelectScreen") {
  SetCaption(ScreenTitleId(ScreenKind::kPasswordSelect, Store().GetMode()));
  AddText("message", LoadMessageText(2036));
  auto* l_group = new QButtonGroup(this);
  const int l_checked = PasswordSelectRadioFor(Store().GetPasswordType());
  for (const Choice& l_choice : kChoices) {
    if (!m_choices_.empty()) {
      auto* l_line = new QFrame(this);
      l_line->setFrameShape(QFrame::HLine);
      l_line->setFrameShadow(QFrame::Sunken);
      Body()->addWidget(l_line);
    }
    auto* l_radio = new QRadioButton(ToQString(LoadMessageText(l_choice.text)), this);
    l_radio->setObjectName(QString::fromLatin1(l_choice.name));
    QFont l_bold = l_radio->font();
    l_bold.setBold(true);
    l_radio->setFont(l_bold);
    l_group->addButton(l_radio);
    Body()->addWidget(l_radio);
    QLabel* l_description = AddText("description", LoadMessageText(l_choice.description_text));
    l_description->setIndent(l_radio->fontMetrics().height() * 2);
    l_radio->setChecked(l_choice.radio == l_checked);
    m_choices_.emplace_back(l_radio, PasswordTypeOfRadio(l_choice.radio));
  }
  QHBoxLayout* l_row = AddButtonRow();
  QPushButton* l_ok = AddButton(l_row, "ok", 3100);
  SetDefaultButton(l_ok);
  connect(l_ok, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(AddButton(l_row, "cancel", 3101), &QPushButton::clicked, this, [this] { OnCancel(); });
  AddVersionButton();
}

void PasswordSelectScreen::OnOk() {
  int l_type = 0;
  for (const auto& l_choice : m_choices_) {
    if (l_choice.first->isChecked()) l_type = l_choice.second;
  }
  if (l_type == 0) return;
  Error().SetError(L"", L"", L"", L"");
  Store().SetPasswordType(l_type);
  OpenNextScreen(ScreenKind::kPasswordChange);
}

}  // namespace tavc
