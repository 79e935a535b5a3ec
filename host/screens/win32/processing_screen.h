#pragma once
// Shown while TAV works without the user: a marquee, or while signing a
// counter "n of m" with a bar that follows the signatures a worker makes.
#include "host/screens/win32/base_window.h"

namespace tavc {

class ProcessingScreen final : public BaseWindow {
 public:
  ProcessingScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);
  ~ProcessingScreen() override;
  // Ending and the password change cannot be interrupted.
  void OnClose() override;

 private:
  void OnInitDialog() override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  void OnTimer();
  void ShowCount(std::size_t in_l_made, std::size_t in_l_total) const;
};

}  // namespace tavc
