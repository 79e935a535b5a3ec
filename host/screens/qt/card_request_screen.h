#pragma once
// Asks the user to put the card on the reader; shows why the last attempt
// failed in red, with the FAQ address where the user can cure it.
#include "host/screens/qt/qt_screen.h"

namespace tavc {

class CardRequestScreen final : public QtScreen {
  Q_OBJECT

 public:
  CardRequestScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);
};

}  // namespace tavc
