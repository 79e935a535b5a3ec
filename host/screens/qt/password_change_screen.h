#pragma once
// Takes the current password and the new one twice, checks them by the
// password type's rules (shown in bold on the same screen) and hands them to
// the card operation. Cancel goes back to the selection, or, for the GPKI
// card, asks to end.
#include <array>

#include "host/screens/password_change_rules.h"
#include "host/screens/qt/qt_screen.h"

class QCheckBox;

namespace tavc {

class PasswordField;

class PasswordChangeScreen final : public QtScreen {
  Q_OBJECT

 public:
  PasswordChangeScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);

 private:
  void OnCancel() override;
  void OnOk();
  void DisplayError();
  void UpdateOk();

  PasswordChangeRule m_rule_;
  std::array<PasswordField*, 3> m_fields_{};
  QLabel* m_error_line_ = nullptr;
  QPushButton* m_ok_ = nullptr;
};

}  // namespace tavc
