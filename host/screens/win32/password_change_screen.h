#pragma once
// Takes the current password and the new one twice, checks them by the
// password type's rules (shown in bold black on the same screen) and hands them to
// the card operation. Cancel goes back to the selection, or, for the GPKI
// card, asks to end.
#include "host/screens/password_change_rules.h"
#include "host/screens/win32/base_window.h"

namespace tavc {

class PasswordChangeScreen final : public BaseWindow {
 public:
  PasswordChangeScreen(HINSTANCE in_l_instance, ScreenFactory& io_l_factory, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  // The collapsed error line opens on a refused password.
  int GrowthReserve() const override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  void OnChar(int in_l_field) const;
  void OnUpdatePassword() const;
  void OnClickDisplayCheck();
  void OnOk();
  void OnCancel();
  void DisplayError();
  void NarrowFields() const;
  void CollapseErrorLine();

  ScreenFactory& m_factory_;
  PasswordChangeRule m_rule_;
  int m_error_line_height_ = 0;
  wchar_t m_password_char_ = 0;
};

}  // namespace tavc
