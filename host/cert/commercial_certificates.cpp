#include "host/cert/commercial_certificates.h"

#include <climits>
#include <cwctype>

#include "host/cert/qualified_issuers.h"
#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

constexpr IssuerNames kAoSignIssuer{L"Nippon Denshi Ninsho Co.Ltd.", L"AOSign G2 Certification Authority",
                                    L"Nippon Denshi Ninsho Co.Ltd.", L"TestAOSign G2 Certification Authority"};
constexpr IssuerNames kDiacertPlusIssuer{L"DIACERT-PLUS CA", L"DIACERT-PLUS Service", L"DIACERT-PLUS TEST CA",
                                         L"DIACERT-PLUS Service"};
constexpr IssuerNames kEProbatioPs2Issuer{L"e-Probatio CA", L"e-Probatio PS2", L"e-Probatio CA",
                                          L"e-Probatio PS2 Test"};
constexpr IssuerNames kEProbatioPsaIssuer{L"e-Probatio CA", L"e-Probatio PSA", L"e-Probatio CA",
                                          L"e-Probatio PSA Test"};
constexpr IssuerNames kTdbIssuer{L"TEIKOKU DATABANK,LTD.", L"TDB CA TypeA", L"TEIKOKU DATABANK,LTD.",
                                 L"TDB CA TypeA PILOT 02"};
constexpr IssuerNames kToinxIssuer{L"Tohoku Information Systems Co.,Inc.", L"TOiNX CA for Electronic Bidding Systems",
                                   L"Tohoku Information Systems Co.,Inc.", L"TOiNX Test CA for EBS"};

constexpr wchar_t kC[] = L"2.5.4.6";
constexpr wchar_t kSt[] = L"2.5.4.8";
constexpr wchar_t kL[] = L"2.5.4.7";
constexpr wchar_t kO[] = L"2.5.4.10";
constexpr wchar_t kOu[] = L"2.5.4.11";
constexpr wchar_t kCn[] = L"2.5.4.3";
constexpr wchar_t kTitle[] = L"2.5.4.12";
constexpr wchar_t kUserId[] = L"0.9.2342.19200300.100.1.1";
constexpr wchar_t kSerial[] = L"2.5.4.5";

constexpr SubjectOption kAoSignOptions[] = {{kC, kRequired}, {kSt, kRequired}, {kL, kRequired}, {kCn, kRequired}};
constexpr SubjectOption kDiacertOptions[] = {{kC, kRequired}, {kO, kRequired},  {kOu, kRequired}, {kSt, kOptional},
                                             {kL, kOptional}, {kOu, kOptional}, {kCn, kOptional}};
constexpr SubjectOption kDiacertPlusOptions[] = {
    {kC, kRequired}, {kO, kRequired}, {kOu, kRequired}, {kOu, kRequired}, {kCn, kRequired}};
constexpr SubjectOption kEProbatioPs2Options[] = {{kC, kRequired}, {kSt, kOptional}, {kL, kOptional}, {kCn, kOptional}};
constexpr SubjectOption kEProbatioPsaOptions[] = {{kC, kRequired},      {kO, kRequired},  {kTitle, kRequired},
                                                  {kUserId, kRequired}, {kCn, kRequired}, {kSerial, kRequired}};
constexpr SubjectOption kTdbOptions[] = {{kC, kRequired},  {kO, kRequired}, {kOu, kRequired},
                                         {kSt, kOptional}, {kL, kOptional}, {kCn, kOptional}};
constexpr SubjectOption kToinxOptions[] = {
    {kC, kRequired}, {kSt, kOptional}, {kL, kOptional}, {kCn, kOptional}, {kUserId, kOptional}};

// Leading decimal digits after optional blanks and sign, as _wtoi reads them
// (0 when there are none), held within the int range.
int LeadingInteger(const std::wstring& in_l_text) {
  std::size_t l_i = 0;
  while (l_i < in_l_text.size() && std::iswspace(static_cast<wint_t>(in_l_text[l_i])) != 0) ++l_i;
  bool l_negative = false;
  if (l_i < in_l_text.size() && (in_l_text[l_i] == L'+' || in_l_text[l_i] == L'-'))
    l_negative = in_l_text[l_i++] == L'-';
  long long l_value = 0;
  for (; l_i < in_l_text.size() && in_l_text[l_i] >= L'0' && in_l_text[l_i] <= L'9'; ++l_i) {
    l_value = l_value * 10 + (in_l_text[l_i] - L'0');
    if (l_value > INT_MAX) return l_negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(l_negative ? -l_value : l_value);
}

// "%07d".
std::wstring SevenDigits(int in_l_value) {
  const bool l_negative = in_l_value < 0;
  std::wstring l_digits = std::to_wstring(l_negative ? -static_cast<long long>(in_l_value) : in_l_value);
  const std::size_t l_width = l_negative ? 6 : 7;
  if (l_digits.size() < l_width) l_digits.insert(0, l_width - l_digits.size(), L'0');
  return l_negative ? L"-" + l_digits : l_digits;
}

}  // namespace

#define TAVC_COMMERCIAL_CONSTRUCTOR(Class, Issuer, Options)                                                  \
  Class::Class(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,         \
               platform::CryptoProvider& in_l_provider)                                                      \
      : CommercialCardCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_provider, Issuer, \
                                  MakeSubjectOptionTable(Options)) {}

TAVC_COMMERCIAL_CONSTRUCTOR(AoSignCertificate, kAoSignIssuer, kAoSignOptions)
TAVC_COMMERCIAL_CONSTRUCTOR(DiacertCertificate, kDiacertIssuer, kDiacertOptions)
TAVC_COMMERCIAL_CONSTRUCTOR(DiacertPlusCertificate, kDiacertPlusIssuer, kDiacertPlusOptions)
TAVC_COMMERCIAL_CONSTRUCTOR(EProbatioPs2Certificate, kEProbatioPs2Issuer, kEProbatioPs2Options)
TAVC_COMMERCIAL_CONSTRUCTOR(EProbatioPsaCertificate, kEProbatioPsaIssuer, kEProbatioPsaOptions)
TAVC_COMMERCIAL_CONSTRUCTOR(TdbCertificate, kTdbIssuer, kTdbOptions)
TAVC_COMMERCIAL_CONSTRUCTOR(ToinxCertificate, kToinxIssuer, kToinxOptions)
#undef TAVC_COMMERCIAL_CONSTRUCTOR

void AoSignCertificate::ReadCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = m_subject_alt_name_o_ + L" " + m_subject_alt_name_cn_;
  m_subject_address_ = m_address_s_ + L" " + m_address_l_;
}

void DiacertCertificate::ReadCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = CombineOptionalString(m_subject_alt_name_o_, m_subject_alt_name_cn_);
  m_subject_address_ = m_address_l_.empty() ? m_address_s_ : m_address_s_ + L" " + m_address_l_;
  ReadCommonSubjectAltNameAll();
  SetProxyRights(m_subject_alt_name_all_ou_);
}

void DiacertPlusCertificate::ReadCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = CombineOptionalString(m_subject_alt_name_o_, m_subject_alt_name_cn_);
  m_subject_address_ = m_address_l_.empty() ? m_address_s_ : m_address_s_ + L" " + m_address_l_;
  ReadCommonSubjectAltNameAll();
  SetProxyRights(m_subject_alt_name_all_ou_);
}

void EProbatioPs2Certificate::ReadCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = m_subject_alt_name_o_ + L" " + m_subject_alt_name_cn_;
  m_subject_address_ = m_address_s_ + L" " + m_address_l_;
  ReadCommonSubjectAltNameAll();
  SetProxyRights(m_subject_alt_name_all_desc_);
}

void TdbCertificate::ReadCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = m_subject_alt_name_o_ + L" " + m_subject_alt_name_cn_;
  m_subject_address_ = m_address_s_ + L" " + m_address_l_;
  ReadCommonSubjectAltNameAll();
  SetProxyRights(m_subject_alt_name_all_desc_);
  SetProxyRepresentative(m_subject_alt_name_all_desc_);
}

void ToinxCertificate::ReadCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = m_subject_alt_name_o_ + L" " + m_subject_alt_name_cn_;
  m_subject_address_ = m_address_l_.empty() ? m_address_s_ : m_address_s_ + L" " + m_address_l_;
}

void EProbatioPsaCertificate::ReadCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_registration_number_.clear();
  if (!m_cert_context_) return;
  m_issuer_alt_name_ = m_issuer_o_ + L" " + m_issuer_ou_;
  std::wstring l_user_id;
  std::wstring l_common_name;
  bool l_have_user_id = false;
  bool l_have_common_name = false;
  for (const x509::Rdn& l_rdn : m_cert_context_->subject.rdns) {
    for (const x509::NameAttribute& l_attribute : l_rdn) {
      if (!l_have_user_id && l_attribute.oid == x509::oid::kUserId) {
        l_user_id = AttributeText(l_attribute);
        l_have_user_id = true;
      } else if (!l_have_common_name && l_attribute.oid == x509::oid::kCommonName) {
        l_common_name = AttributeText(l_attribute);
        l_have_common_name = true;
      }
    }
  }
  m_registration_number_ = SevenDigits(LeadingInteger(l_user_id));
  m_subject_alt_name_ = l_common_name;
}

}  // namespace tavc
