#pragma once
// Shows a GPKI card's certificate as a list of its X.509 items with a detail
// pane, switches to the issuing CA's self-signed certificate (with its SHA-256
// fingerprint) and back, and saves the certificate shown as a ".cer" file.
#include <string>
#include <vector>

#include "host/screens/qt/qt_screen.h"

class QTreeWidget;

namespace tavc {

class GpkiApCertificate;

class CertificateConfirmScreenGpkiAp final : public QtScreen {
  Q_OBJECT

 public:
  CertificateConfirmScreenGpkiAp(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                 ScreenFactory& io_l_factory);

 private:
  // Fills the screen for the certificate now shown.
  void SetListedDetail();
  void CertToggle();
  void OnOk();
  void OnButtonSave();
  void OnSaveChosen(const QString& in_l_path);
  void ShowDetail(int in_l_row);
  const GpkiApCertificate* Shown() const;

  const GpkiApCertificate* m_card_certificate_;
  const GpkiApCertificate* m_ca_certificate_;
  std::vector<std::wstring> m_details_;
  QLabel* m_message_ = nullptr;
  QTreeWidget* m_list_ = nullptr;
  QPlainTextEdit* m_detail_ = nullptr;
  QLabel* m_fingerprint_label_ = nullptr;
  QPlainTextEdit* m_fingerprint_ = nullptr;
  QPushButton* m_toggle_ = nullptr;
  QPushButton* m_ok_ = nullptr;
};

}  // namespace tavc
