#pragma once
// The seven commercial certification authorities whose IC cards are reached
// through a provider. Each accepts its production and test issuer, builds the
// display subject from its option table and turns the alternative names into
// display texts; reading and signing are CardCertificate's.
#include <string>
#include <vector>

#include "host/cert/card_certificate.h"

namespace tavc {

// The AOSign IC card (type "006").
class AoSignCertificate final : public CardCertificate {
 public:
  AoSignCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                    platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

// The DIACERT IC card (type "012").
class DiacertCertificate final : public CardCertificate {
 public:
  DiacertCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                     platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

// The DIACERT-PLUS IC card (type "011").
class DiacertPlusCertificate final : public CardCertificate {
 public:
  DiacertPlusCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                         platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

// The e-Probatio PS2 IC card (type "009").
class EProbatioPs2Certificate final : public CardCertificate {
 public:
  EProbatioPs2Certificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                          platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

// The e-Probatio PSA IC card (type "010").
class EProbatioPsaCertificate final : public CardCertificate {
 public:
  EProbatioPsaCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                          platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

// The TDB IC card (type "004").
class TdbCertificate final : public CardCertificate {
 public:
  TdbCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                 platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

// The TOiNX IC card (type "008").
class ToinxCertificate final : public CardCertificate {
 public:
  ToinxCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                   platform::CryptoProvider& in_l_provider);
  int ReadCertificateDetail() override;
  void ReadCertExtension() override;
  static int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                         const std::wstring& in_l_unit);
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  std::vector<SubjectItem> m_subject_option_;
};

}  // namespace tavc
