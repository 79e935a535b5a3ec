#include "host/cert/houjin_certificate.h"

#include "host/cert/qualified_issuers.h"
#include "host/cert/registered_corporation.h"

namespace tavc {
namespace {

constexpr SubjectOption kHoujinOptions[] = {{L"2.5.4.6", kRequired}, {L"2.5.4.10", kRequired}, {L"2.5.4.3", kRequired}};

}  // namespace

HoujinCertificate::HoujinCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                     ErrorInfo* in_l_error_info, platform::CryptoProvider& in_l_provider)
    : CardCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_provider),
      m_subject_option_(MakeSubjectOptionTable(kHoujinOptions)) {}

int HoujinCertificate::ReadCertificateDetail() {
  SetCertificateType(L"");
  ReadCertBasic();
  if (MatchIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_, kSyougyouIssuer) != 0) {
    if (m_error_info_ != nullptr) m_error_info_->SetError(L"EW244-3500", L"", L"", L"");
    return 1;
  }
  AddIssuerCn();
  SetSubjectString(m_subject_option_);
  ReadCertExtension();
  if (m_data_store_ != nullptr) SetCertificateType(m_data_store_->GetCertificateType());
  return 0;
}

void HoujinCertificate::AddIssuerCn() {
  if (!m_cert_context_) return;
  const std::wstring l_common_name = IssuerCommonName(*m_cert_context_);
  m_issuer_ += L" " + l_common_name;
  m_issuer_short_name_ += l_common_name;
}

void HoujinCertificate::ReadCertExtension() { ReadRegisteredCorporationExtension(); }

}  // namespace tavc
