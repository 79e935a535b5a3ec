#pragma once
// Shows the certificate that will sign (My Number card, IC card or file) in
// eight fixed items and lets the user confirm it.
#include "host/screens/win32/base_window.h"

namespace tavc {

class CertificateConfirmScreen final : public BaseWindow {
 public:
  CertificateConfirmScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  // The multi-line values (issuer, name, address), down to one line each.
  std::vector<FieldMinimum> ScrollingFields() const override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
};

}  // namespace tavc
