#pragma once
// The seven commercial certification authorities whose IC cards are reached
// through a provider. Each accepts its production and test issuer, builds the
// display subject from its option table and turns the alternative names into
// display texts; reading and signing are CardCertificate's.
#include <string>
#include <utility>
#include <vector>

#include "host/cert/card_certificate.h"
#include "host/cert/issuer_names.h"

namespace tavc {

// What the seven share: the issuer check and the subject option table of the
// authority; each class adds how it reads its alternative names.
class CommercialCardCertificate : public CardCertificate {
 public:
  int ReadCertificateDetail() final { return ReadIssuerDetail(m_issuer_, m_subject_option_); }
  // 0 when (country, organization, unit) is the authority's production or test issuer.
  int CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                  const std::wstring& in_l_unit) const {
    return MatchIssuer(in_l_country, in_l_organization, in_l_unit, m_issuer_);
  }
  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 protected:
  CommercialCardCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                            platform::CryptoProvider& in_l_provider, const IssuerNames& in_l_issuer,
                            std::vector<SubjectItem> in_l_subject_option)
      : CardCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_provider),
        m_issuer_(in_l_issuer),
        m_subject_option_(std::move(in_l_subject_option)) {}

 private:
  const IssuerNames& m_issuer_;
  std::vector<SubjectItem> m_subject_option_;
};

// The AOSign IC card (type "006").
class AoSignCertificate final : public CommercialCardCertificate {
 public:
  AoSignCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                    platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

// The DIACERT IC card (type "012").
class DiacertCertificate final : public CommercialCardCertificate {
 public:
  DiacertCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                     platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

// The DIACERT-PLUS IC card (type "011").
class DiacertPlusCertificate final : public CommercialCardCertificate {
 public:
  DiacertPlusCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                         platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

// The e-Probatio PS2 IC card (type "009").
class EProbatioPs2Certificate final : public CommercialCardCertificate {
 public:
  EProbatioPs2Certificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                          platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

// The e-Probatio PSA IC card (type "010").
class EProbatioPsaCertificate final : public CommercialCardCertificate {
 public:
  EProbatioPsaCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                          platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

// The TDB IC card (type "004").
class TdbCertificate final : public CommercialCardCertificate {
 public:
  TdbCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                 platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

// The TOiNX IC card (type "008").
class ToinxCertificate final : public CommercialCardCertificate {
 public:
  ToinxCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                   platform::CryptoProvider& in_l_provider);
  void ReadCertExtension() override;
};

}  // namespace tavc
