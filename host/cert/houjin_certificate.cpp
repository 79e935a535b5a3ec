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

void HoujinCertificate::ReadCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_subject_address_.clear();
  m_representative_director_name_.clear();
  m_representative_director_title_.clear();
  if (!m_cert_context_) return;
  m_issuer_alt_name_ = ParseJCertifcatePolitics(*m_cert_context_) + L" " + ParseRegistrar(*m_cert_context_);
  RegisteredCorporation l_corporation = ParseRegisterCorporationInfo(*m_cert_context_);
  m_subject_alt_name_ = std::move(l_corporation.name);
  m_subject_address_ = std::move(l_corporation.address);
  m_representative_director_name_ = std::move(l_corporation.representative_name);
  m_representative_director_title_ = std::move(l_corporation.representative_title);
}

}  // namespace tavc
