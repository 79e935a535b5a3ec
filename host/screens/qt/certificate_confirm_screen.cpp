#include "host/screens/qt/certificate_confirm_screen.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/qt/qt_text.h"
#include "host/resources/message_texts.h"
#include "host/screens/certificate_confirm_items.h"
#include "host/screens/screen_titles.h"
#include "platform/local_time.h"

namespace tavc {
namespace {

constexpr int kLineCharacters = 34;

// UTC to the user's time zone, as the system converts it.
bool SystemLocalTime(const CivilTime& in_l_utc, CivilTime& out_l_local) {
  const platform::CalendarTime l_utc{static_cast<int>(in_l_utc.year),   static_cast<int>(in_l_utc.month),
                                     static_cast<int>(in_l_utc.day),    static_cast<int>(in_l_utc.hour),
                                     static_cast<int>(in_l_utc.minute), static_cast<int>(in_l_utc.second)};
  platform::CalendarTime l_local;
  if (!platform::UtcToLocalTime(l_utc, &l_local)) return false;
  out_l_local = CivilTime{static_cast<unsigned>(l_local.year),   static_cast<unsigned>(l_local.month),
                          static_cast<unsigned>(l_local.day),    static_cast<unsigned>(l_local.hour),
                          static_cast<unsigned>(l_local.minute), static_cast<unsigned>(l_local.second)};
  return true;
}

}  // namespace

CertificateConfirmScreen::CertificateConfirmScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                                   ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "CertificateConfirmScreen") {
  SetCaption(ScreenTitleId(ScreenKind::kCertificateConfirm, Store().GetMode()));
  // Room for a validity and an issuer's name on one line.
  SetLineCharacters(kLineCharacters);
  AddOrigin();
  AddText("message", LoadMessageText(2061));
  auto* l_form = new QFormLayout();
  const std::array<std::wstring, 8> l_values = ConfirmValues(Request().certificate, SystemLocalTime);
  for (std::size_t l_i = 0; l_i < kConfirmItems.size(); ++l_i) {
    QWidget* l_value = nullptr;
    const QString l_name = QStringLiteral("value%1").arg(kConfirmItems[l_i].value_id);
    if (kConfirmItems[l_i].multi_line) {
      // Issuer, name and address scroll, and give up height first when the screen is short.
      auto* l_field = new QPlainTextEdit(ToQString(l_values[l_i]), this);
      l_field->setReadOnly(true);
      l_field->setTabChangesFocus(true);
      l_field->setMinimumHeight(l_field->fontMetrics().height() + 8);
      l_field->setMaximumHeight(l_field->fontMetrics().height() * 3 + 8);
      l_value = l_field;
    } else {
      auto* l_field = new QLineEdit(ToQString(l_values[l_i]), this);
      l_field->setReadOnly(true);
      l_field->setCursorPosition(0);
      l_value = l_field;
    }
    l_value->setObjectName(l_name);
    auto* l_label = new QLabel(ToQString(LoadMessageText(kConfirmItems[l_i].label_text)), this);
    l_label->setBuddy(l_value);
    l_form->addRow(l_label, l_value);
  }
  Body()->addLayout(l_form);
  QHBoxLayout* l_row = AddButtonRow();
  QPushButton* l_ok = AddButton(l_row, "ok", 3100);
  SetDefaultButton(l_ok);
  connect(l_ok, &QPushButton::clicked, this, [this] {
    // A certificate type or file means the signing goes through the key store seam.
    const bool l_crypto_api = !Store().GetCertificateType().empty() || !Store().GetFilePath().empty();
    Post(l_crypto_api ? WM_APP07 : WM_APP03);
  });
  connect(AddButton(l_row, "cancel", 3101), &QPushButton::clicked, this, [this] { OnCancel(); });
  AddVersionButton();
  SetFirstFocus(l_ok);
}

}  // namespace tavc
