#include "host/screens/qt/password_change_result_screen.h"

#include <QPushButton>

#include "host/resources/message_texts.h"
#include "host/screens/password_change_rules.h"
#include "host/screens/screen_titles.h"

namespace tavc {

PasswordChangeResultScreen::PasswordChangeResultScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                                       ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "PasswordChangeResultScreen") {
  const RequestMode l_mode = Store().GetMode();
  SetCaption(ScreenTitleId(ScreenKind::kPasswordChangeResult, l_mode));
  const std::wstring l_message = Error().GetMessage();
  AddText("message", l_message.empty() ? LoadMessageText(PasswordChangeSuccessTextId(l_mode, Store().GetPasswordType()))
                                       : l_message);
  QPushButton* l_ok = AddButton(AddButtonRow(), "ok", 3100);
  SetDefaultButton(l_ok);
  connect(l_ok, &QPushButton::clicked, this, [this] {
    // Another password may be changed on the My Number card; the GPKI card has one.
    Post(Store().GetMode() == RequestMode::kGpkiPasswordChange ? WM_APP05 : WM_APP01);
  });
  AddVersionButton();
  Store().SetPasswordType(0);
  Store().SetPassword(L"");
  Store().SetNewPassword(L"");
}

}  // namespace tavc
