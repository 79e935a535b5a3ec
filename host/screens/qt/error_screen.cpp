#include "host/screens/qt/error_screen.h"

#include <QLabel>
#include <QPushButton>

#include "host/resources/message_texts.h"
#include "host/screens/error_screen_end.h"
#include "host/screens/faq_address.h"

namespace tavc {

ErrorScreen::ErrorScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "ErrorScreen") {
  SetCaption(3007);
  AddBanner();
  AddErrorLine(Error().GetMessage())->setVisible(true);
  const std::uint32_t l_address = ErrorScreenFaqAddress(Error().GetMessageId());
  if (l_address != 0) AddAddress(3313, LoadMessageText(l_address));
  QPushButton* l_ok = AddButton(AddButtonRow(), "ok", 3100);
  SetDefaultButton(l_ok);
  connect(l_ok, &QPushButton::clicked, this, [this] { OnClose(); });
  AddVersionButton();
}

void ErrorScreen::OnClose() { Post(WM_APP04, ErrorScreenEndParam(Store(), Error())); }

}  // namespace tavc
