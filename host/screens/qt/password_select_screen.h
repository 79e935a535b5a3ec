#pragma once
// Asks which of the My Number card's three passwords to change, and opens the
// change screen for it.
#include "host/screens/qt/qt_screen.h"

class QRadioButton;

namespace tavc {

class PasswordSelectScreen final : public QtScreen {
  Q_OBJECT

 public:
  PasswordSelectScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);

 private:
  void OnOk();

  std::vector<std::pair<QRadioButton*, int>> m_choices_;
};

}  // namespace tavc
