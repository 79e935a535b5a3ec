#pragma once
// The last screen of a failed request: the error in red, the FAQ address for
// some messages, and OK, which ends the request.
#include "host/screens/win32/base_window.h"

namespace tavc {

class ErrorScreen final : public BaseWindow {
 public:
  ErrorScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);
  // OK and the frame's close both end the request.
  void OnClose() override;

 private:
  void OnInitDialog() override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  bool HasRedErrorLine() const override { return true; }
};

}  // namespace tavc
