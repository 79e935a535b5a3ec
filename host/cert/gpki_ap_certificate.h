#pragma once
// The certificate of a GPKI card read through its card application (type
// "019"). The card-access thread reads the certificate with AccessForGpkiAp and
// hands it over with SetCertificateHex; this class checks the issuer and fills
// the display texts of the GPKI confirmation screen, much as the Windows
// certificate dialog shows them.
#include <string>

#include "host/card/access_for_gpki_ap.h"
#include "host/cert/certificate.h"
#include "platform/scard_api.h"

namespace tavc {

class GpkiApCertificate : public Certificate {
 public:
  GpkiApCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                    platform::SCardApi& in_l_scard_api);
  ~GpkiApCertificate() override;

  // The card-access thread drives the card itself: both do nothing.
  int ReadCertificate() override { return 0; }
  int ComputeSignature() override { return 0; }
  // Result 1 with "EW044-4199" when the issuer is not the GPKI one; every
  // display text is emptied first, so none is left from an earlier certificate.
  int ReadCertificateDetail() override;
  void ReleaseResource() override;
  void ReadCertExtension() override;
  // "CN=..., O=..., C=..." of the whole subject list, in certificate order.
  using Certificate::SetSubjectString;
  virtual void SetSubjectString();

  // 0 for C=JP, O=Corvane Authority and OU=OfficialStatusCA or TestOfficialStatusCA.
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);

  void ReadSignatureAlgorithm();
  void ReadIssuer();
  void ReadNotBeforeLocalTime();
  void ReadNotAfterLocalTime();
  void ReadSubjectPublicKeyInfo();
  void ReadSubjectPublicInfoAlg();
  // Each extension reader leaves its field unchanged when the extension is
  // absent or does not decode.
  void ReadAuthorityKeyID();
  void ReadSubjectKeyID();
  void ReadKeyUsage();
  void ReadCertPolicies();
  void ReadSubjectAltName();
  void ReadIssuerAltName();
  void ReadCrlDistPoints();
  void ReadBasicConstraints();
  void ReadEnhancedKeyUsage();
  void CalcFingerPrint();

  std::wstring GetGpkiVersion() const { return m_gpki_version_; }
  std::wstring GetGpkiSerialNumber() const { return m_gpki_serial_number_; }
  std::wstring GetGpkiSignatureAlgorithm() const { return m_gpki_signature_algorithm_; }
  std::wstring GetGpkiIssuer() const { return m_gpki_issuer_; }
  std::wstring GetGpkiNotBeforeDateTime() const { return m_gpki_not_before_date_time_; }
  std::wstring GetGpkiNotAfterDateTime() const { return m_gpki_not_after_date_time_; }
  std::wstring GetGpkiSubject() const { return m_gpki_subject_; }
  std::wstring GetGpkiSubjectPublicKey() const { return m_gpki_subject_public_key_; }
  std::wstring GetGpkiSubjectPublicKeyAlgorithm() const { return m_gpki_subject_public_key_algorithm_; }
  std::wstring GetGpkiCertAuthorityKeyId() const { return m_gpki_cert_authority_key_id_; }
  std::wstring GetGpkiSubjectKeyId() const { return m_gpki_subject_key_id_; }
  std::wstring GetGpkiKeyUsage() const { return m_gpki_key_usage_; }
  std::wstring GetGpkiCertPolicies() const { return m_gpki_cert_policies_; }
  std::wstring GetGpkiSubjectAltName() const { return m_gpki_subject_alt_name_; }
  std::wstring GetGpkiIssuerAltName() const { return m_gpki_issuer_alt_name_; }
  std::wstring GetGpkiCrlDistPoint() const { return m_gpki_crl_dist_point_; }
  std::wstring GetGpkiBasicConstraints() const { return m_gpki_basic_constraints_; }
  std::wstring GetGpkiEnhancedKeyUsage() const { return m_gpki_enhanced_key_usage_; }
  std::wstring GetGpkiFingerPrint() const { return m_gpki_finger_print_; }

 private:
  void ClearDisplayTexts();

  AccessForGpkiAp m_access_;
  std::wstring m_gpki_version_;
  std::wstring m_gpki_serial_number_;
  std::wstring m_gpki_signature_algorithm_;
  std::wstring m_gpki_issuer_;
  std::wstring m_gpki_not_before_date_time_;
  std::wstring m_gpki_not_after_date_time_;
  std::wstring m_gpki_subject_;
  std::wstring m_gpki_subject_public_key_;
  std::wstring m_gpki_subject_public_key_algorithm_;
  std::wstring m_gpki_cert_authority_key_id_;
  std::wstring m_gpki_subject_key_id_;
  std::wstring m_gpki_key_usage_;
  std::wstring m_gpki_cert_policies_;
  std::wstring m_gpki_subject_alt_name_;
  std::wstring m_gpki_issuer_alt_name_;
  std::wstring m_gpki_crl_dist_point_;
  std::wstring m_gpki_basic_constraints_;
  std::wstring m_gpki_enhanced_key_usage_;
  std::wstring m_gpki_finger_print_;
};

}  // namespace tavc
