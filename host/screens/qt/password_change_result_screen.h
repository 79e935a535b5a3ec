#pragma once
// Reports a password change: the card's failure message, or which password
// was changed. OK goes back to the selection (My Number card) or ends the run
// (GPKI card). Opening it forgets the passwords.
#include "host/screens/qt/qt_screen.h"

namespace tavc {

class PasswordChangeResultScreen final : public QtScreen {
  Q_OBJECT

 public:
  PasswordChangeResultScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                             ScreenFactory& io_l_factory);
};

}  // namespace tavc
