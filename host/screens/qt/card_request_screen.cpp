#include "host/screens/qt/card_request_screen.h"

#include <QPushButton>

#include "host/resources/message_texts.h"
#include "host/screens/faq_address.h"
#include "host/state/request_modes.h"

namespace tavc {

CardRequestScreen::CardRequestScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                     ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "CardRequestScreen") {
  SetCaption(3002);
  AddBanner();
  AddText("message", LoadMessageText(IsGpkiMode(Store().GetMode()) ? 2065 : 2003));
  AddErrorLine(Error().GetCode().empty() ? std::wstring() : Error().GetMessage());
  const std::uint32_t l_address = CardRequestFaqAddress(Error().GetMessageId());
  if (l_address != 0) AddAddress(3313, LoadMessageText(l_address));
  QHBoxLayout* l_row = AddButtonRow();
  QPushButton* l_ok = AddButton(l_row, "ok", 3100);
  SetDefaultButton(l_ok);
  connect(l_ok, &QPushButton::clicked, this, [this] { Post(WM_APP01); });
  connect(AddButton(l_row, "cancel", 3101), &QPushButton::clicked, this, [this] { OnCancel(); });
  AddVersionButton();
}

}  // namespace tavc
