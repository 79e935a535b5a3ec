#pragma once
// The commercial-registration corporate certificate on an IC card (type "007"):
// issued by the registry of the Ministry of Justice, with the corporation's
// name, address and representative in three extensions of its own.
#include <string>
#include <vector>

#include "host/cert/card_certificate.h"

namespace tavc {

class HoujinCertificate final : public CardCertificate {
 public:
  HoujinCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                    platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;

  // Appends the issuer's commonName to the issuer texts.
  void AddIssuerCn();
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

}  // namespace tavc
