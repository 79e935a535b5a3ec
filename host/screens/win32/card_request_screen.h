#pragma once
// Asks the user to put the card on the reader; shows why the last attempt
// failed in red, with the FAQ address where the user can cure it.
#include "host/screens/win32/base_window.h"

namespace tavc {

class CardRequestScreen final : public BaseWindow {
 public:
  CardRequestScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  bool HasRedErrorLine() const override { return true; }
};

}  // namespace tavc
