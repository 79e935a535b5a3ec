#pragma once
// Asks for the card password the next card operation needs: filters what is
// typed by mode, enables OK from the mode's minimum length, shows invalid
// input in red on the same screen, offers show-password and, in some modes,
// the link to the password change.
#include "host/screens/password_rules.h"
#include "host/screens/qt/qt_screen.h"

class QCheckBox;

namespace tavc {

class PasswordField;

class PasswordSetScreen final : public QtScreen {
  Q_OBJECT

 public:
  PasswordSetScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);

 private:
  void OnOk();
  void OnLink();
  void DisplayError();

  PasswordRule m_rule_;
  PasswordField* m_field_ = nullptr;
  QLabel* m_error_line_ = nullptr;
  QPushButton* m_ok_ = nullptr;
};

}  // namespace tavc
