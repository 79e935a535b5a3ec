#pragma once
// Shows a GPKI card's certificate as a list of its X.509 items with a detail
// pane, switches to the issuing CA's self-signed certificate (with its SHA-256
// fingerprint) and back, and saves the certificate shown as a ".cer" file.
#include <string>
#include <vector>

#include "host/screens/win32/base_window.h"

namespace tavc {

class GpkiApCertificate;

class CertificateConfirmScreenGpkiAp final : public BaseWindow {
 public:
  CertificateConfirmScreenGpkiAp(HINSTANCE in_l_instance, const ScreenRequest& in_l_request);

 private:
  void OnInitDialog() override;
  // The list, down to its header and two rows, and the detail pane, down to two lines.
  std::vector<FieldMinimum> ScrollingFields() const override;
  bool OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) override;
  // Fills the screen for the certificate now shown.
  void SetListedDetail();
  void CertToggle();
  void OnOk();
  void OnButtonSave();
  void ShowDetail(int in_l_row);
  void OnListKeyDown(WORD in_l_key);
  // Selects, focuses and shows a row, and its detail.
  void SelectRow(int in_l_row);
  const GpkiApCertificate* Shown() const;

  const GpkiApCertificate* m_card_certificate_;
  const GpkiApCertificate* m_ca_certificate_;
  std::vector<std::wstring> m_details_;
};

}  // namespace tavc
