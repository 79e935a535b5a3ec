#pragma once
// The government IC cards reached through a provider: GPKI (type "003") and
// LGPKI (type "002"). Reading and signing are CardCertificate's.
#include <string>
#include <vector>

#include "host/cert/card_certificate.h"

namespace tavc {

class GpkiCertificate final : public CardCertificate {
 public:
  GpkiCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                  platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  // The first commonName of the subject alternative name's directory name.
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

class LgpkiCertificate final : public CardCertificate {
 public:
  LgpkiCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                   platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  // Organization, units and commonName of the subject alternative name.
  void ReadCertExtension() override;
  // Country and organization only: any unit is accepted.
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

}  // namespace tavc
