#pragma once
// Asks which of the My Number card's three passwords to change, and opens the
// change screen for it.
#include "host/screens/win32/base_window.h"

namespace tavc {

class PasswordSelectScreen final : public BaseWindow {
 public:
  PasswordSelectScreen(HINSTANCE in_l_instance, ScreenFactory& io_l_factory, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  void OnOk();

  ScreenFactory& m_factory_;
};

}  // namespace tavc
