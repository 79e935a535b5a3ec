#include "host/cert/government_card_certificates.h"

#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

constexpr IssuerNames kGpkiIssuer{L"Corvane Authority", L"OfficialStatusCA", L"Corvane Authority",
                                  L"TestOfficialStatusCA"};
constexpr std::size_t kLgpkiUnits = 8;

constexpr wchar_t kOu[] = L"2.5.4.11";
constexpr SubjectOption kGpkiOptions[] = {{L"2.5.4.6", kRequired}, {L"2.5.4.10", kRequired}, {kOu, kRequired},
                                          {kOu, kRequired},        {kOu, kRequired},         {kOu, kRequired},
                                          {kOu, kRequired},        {kOu, kRequired},         {kOu, kRequired},
                                          {kOu, kRequired},        {L"2.5.4.3", kRequired}};
constexpr SubjectOption kLgpkiOptions[] = {{L"2.5.4.6", kRequired}, {L"2.5.4.10", kRequired}, {L"2.5.4.7", kRequired},
                                           {kOu, kRequired},        {kOu, kRequired},         {kOu, kRequired},
                                           {kOu, kRequired},        {kOu, kRequired},         {kOu, kRequired},
                                           {kOu, kRequired},        {kOu, kRequired},         {L"2.5.4.3", kRequired}};

}  // namespace

GpkiCertificate::GpkiCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                 ErrorInfo* in_l_error_info, platform::CryptoProvider& in_l_provider)
    : CardCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_provider),
      m_subject_option_(MakeSubjectOptionTable(kGpkiOptions)) {}

int GpkiCertificate::CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                 const std::wstring& in_l_unit) {
  return MatchIssuer(in_l_country, in_l_organization, in_l_unit, kGpkiIssuer);
}

int GpkiCertificate::ReadCertificateDetail() { return ReadIssuerDetail(kGpkiIssuer, m_subject_option_); }

void GpkiCertificate::ReadCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  if (!m_cert_context_) return;
  ReadCommonCertExtension();
  m_subject_alt_name_.clear();
  m_subject_address_.clear();
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kSubjectAltName);
  if (!l_name) return;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    if (l_rdn.front().oid == x509::oid::kCommonName) {
      m_subject_alt_name_ = AttributeText(l_rdn.front());
      return;
    }
  }
}

LgpkiCertificate::LgpkiCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                   ErrorInfo* in_l_error_info, platform::CryptoProvider& in_l_provider)
    : CardCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_provider),
      m_subject_option_(MakeSubjectOptionTable(kLgpkiOptions)) {}

int LgpkiCertificate::CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization) {
  return in_l_country == L"JP" && (in_l_organization == L"LGPKI" || in_l_organization == L"LGPKI2") ? 0 : 1;
}

int LgpkiCertificate::ReadCertificateDetail() {
  SetCertificateType(L"");
  ReadCertBasic();
  if (CheckIssuer(m_issuer_c_, m_issuer_o_) != 0) {
    if (m_error_info_ != nullptr) m_error_info_->SetError(L"EW244-3500", L"", L"", L"");
    return 1;
  }
  SetSubjectString(m_subject_option_);
  ReadCertExtension();
  if (m_data_store_ != nullptr) SetCertificateType(m_data_store_->GetCertificateType());
  return 0;
}

void LgpkiCertificate::ReadCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_issuer_alt_name_ = m_issuer_o_ + L" " + m_issuer_ou_;
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kSubjectAltName);
  if (!l_name) return;
  std::wstring l_organization;
  std::wstring l_common_name;
  std::vector<std::wstring> l_units;
  bool l_have_organization = false;
  bool l_have_common_name = false;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    if (!l_have_organization && l_first.oid == x509::oid::kOrganizationName) {
      l_organization = AttributeText(l_first);
      l_have_organization = true;
    } else if (l_units.size() < kLgpkiUnits && l_first.oid == x509::oid::kOrganizationalUnitName) {
      l_units.push_back(AttributeText(l_first));
    } else if (!l_have_common_name && l_first.oid == x509::oid::kCommonName) {
      l_common_name = AttributeText(l_first);
      l_have_common_name = true;
    }
    if (l_have_organization && l_have_common_name && l_units.size() == kLgpkiUnits) break;
  }
  m_subject_alt_name_ = l_organization;
  for (const std::wstring& l_unit : l_units) {
    if (l_unit.empty()) break;
    m_subject_alt_name_ += L" " + l_unit;
  }
  m_subject_alt_name_ += L" " + l_common_name;
}

}  // namespace tavc
