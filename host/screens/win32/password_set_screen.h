#pragma once
// Asks for the card password the next card operation needs: filters what is
// typed by mode, enables OK from the mode's minimum length, shows invalid
// input in red in the same screen, offers show-password and, in some modes,
// the link to the password change.
#include "host/screens/password_rules.h"
#include "host/screens/win32/base_window.h"

namespace tavc {

class PasswordSetScreen final : public BaseWindow {
 public:
  PasswordSetScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  // The collapsed error line opens on an invalid password.
  int GrowthReserve() const override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  bool HasRedErrorLine() const override { return true; }
  void OnChar();
  void OnUpdatePassword() const;
  void OnClickDisplayCheck();
  void OnOk();
  void OnLink();
  // 0 when the typed text passes the mode's test; else 1 with the error record set.
  int CheckPassword() const;
  void DisplayError();
  void NarrowField() const;

  PasswordRule m_rule_;
  int m_error_line_height_ = 0;
  wchar_t m_password_char_ = 0;
};

}  // namespace tavc
