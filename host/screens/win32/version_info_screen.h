#pragma once
// The version-up notice shown before the request's work when a newer version
// exists: Skip goes on with the request, Update opens the download page and
// ends it. Below medium integrity the page cannot be opened from here, so the
// notice shows its address and offers Cancel instead of Update.
#include "host/screens/win32/base_window.h"

namespace tavc {

class VersionInfoScreen final : public BaseWindow {
 public:
  VersionInfoScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);
  // Ends the request without asking.
  void OnClose() override;

 private:
  void OnInitDialog() override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  void OnProceed();
  void OnUpdate();
  bool IsLowIntegrity() const;
  void LayOut();

  std::wstring m_download_address_;
  // Read before the code is replaced below medium integrity (a screen laid
  // out again to fit reads the same).
  bool m_must_update_;
};

}  // namespace tavc
