#pragma once
// Reports a password change: the card's failure message, or which password
// was changed. OK goes back to the selection (My Number card) or ends the run
// (GPKI card). Opening it forgets the passwords.
#include "host/screens/win32/base_window.h"

namespace tavc {

class PasswordChangeResultScreen final : public BaseWindow {
 public:
  PasswordChangeResultScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;

  // The password changed, read before opening forgets it (a screen laid out
  // again to fit reads the same).
  int m_password_type_;
};

}  // namespace tavc
