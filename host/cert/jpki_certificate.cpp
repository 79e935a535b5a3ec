#include "host/cert/jpki_certificate.h"

#include "common/utf_conversion.h"
#include "host/cert/x509/general_name.h"
#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8010;
constexpr std::uint8_t kFunctionReadCertificate = 1;
constexpr std::uint8_t kFunctionReadCertificateDetail = 3;
constexpr wchar_t kNoDataStoreCode[] = L"EW044-1599";
constexpr wchar_t kIssuerRejectedCode[] = L"EW244-3500";

constexpr SubjectOption kSubjectOption[] = {
    {L"2.5.4.6", kRequired}, {L"2.5.4.7", kRequired}, {L"2.5.4.7", kRequired}, {L"2.5.4.3", kRequired}};

constexpr wchar_t kLoginUnit[] = L"JPKI for user authentication";
constexpr wchar_t kSignUnit[] = L"JPKI for digital signature";

// The otherName types of the signature certificate's personal items.
constexpr char kOidName[] = "1.2.392.200149.8.5.5.1";
constexpr char kOidSex[] = "1.2.392.200149.8.5.5.3";
constexpr char kOidDateOfBirth[] = "1.2.392.200149.8.5.5.4";
constexpr char kOidAddress[] = "1.2.392.200149.8.5.5.5";
// Fewer entries than the four personal items means the name is not a JPKI one.
constexpr std::size_t kPersonalItemCount = 4;

int CheckJpkiIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                    const std::wstring& in_l_unit, const wchar_t* in_l_expected_unit) {
  if (in_l_country != L"JP" || in_l_unit != in_l_expected_unit) return 1;
  return in_l_organization == L"JPKI" || in_l_organization == L"JPKI-TEST" ? 0 : 1;
}

// The text of the otherName of this type, when the entry list has one.
void ReadPersonalItem(const x509::GeneralNames& in_l_names, const char* in_l_type, std::wstring* out_l_text) {
  for (const x509::GeneralName& l_name : in_l_names) {
    if (l_name.kind != x509::GeneralNameKind::kOtherName || l_name.other_name.type_oid != in_l_type) continue;
    const std::vector<std::uint8_t>& l_value = l_name.other_name.value_der;
    JpkiCertificate::GetOtherName(l_value.data(), l_value.size(), out_l_text);
    return;
  }
}

}  // namespace

JpkiCertificate::JpkiCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                                 platform::SCardApi& in_l_scard_api)
    : Certificate(in_l_data_store, in_l_result_data, in_l_error_info),
      m_access_(in_l_scard_api),
      m_subject_option_(MakeSubjectOptionTable(kSubjectOption)) {}

JpkiCertificate::~JpkiCertificate() = default;

int JpkiCertificate::CheckLoginIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                      const std::wstring& in_l_unit) {
  return CheckJpkiIssuer(in_l_country, in_l_organization, in_l_unit, kLoginUnit);
}

int JpkiCertificate::CheckSignIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                     const std::wstring& in_l_unit) {
  return CheckJpkiIssuer(in_l_country, in_l_organization, in_l_unit, kSignUnit);
}

int JpkiCertificate::ReadCertificate() {
  m_certificate_hex_.clear();
  m_cert_context_.reset();
  if (m_data_store_ == nullptr) {
    if (m_error_info_ != nullptr) {
      m_error_info_->SetCardError(kNoDataStoreCode, kModule, kFunctionReadCertificate, 1);
    }
    return 1;
  }
  int l_ret = m_access_.EstablishCardSession(m_error_info_, m_data_store_, m_result_data_);
  if (l_ret == 0) l_ret = m_access_.CheckCardPassword();
  // The PIN is needed for this one check only; a later operation asks again.
  m_data_store_->SetPassword(std::wstring());
  if (l_ret == 0) l_ret = m_access_.GetCertificate();
  if (l_ret == 0) m_certificate_hex_ = m_result_data_->GetCertificate();
  return l_ret;
}

int JpkiCertificate::ComputeSignature() {
  ClearSignatures();
  const std::size_t l_before = m_result_data_ != nullptr ? m_result_data_->GetSignature().size() : 0;
  const int l_ret = m_access_.ComputeSignature();
  if (l_ret == 0 && m_result_data_ != nullptr) {
    // Only what this call produced: the record may hold signatures of an earlier run.
    const std::vector<std::wstring>& l_all = m_result_data_->GetSignature();
    for (std::size_t l_i = l_before; l_i < l_all.size(); ++l_i) AddSignature(l_all[l_i]);
  }
  return l_ret;
}

int JpkiCertificate::ReadCertificateDetail() {
  SetCertificateType(std::wstring());
  ReadCertBasic();
  if (m_data_store_ == nullptr) {
    if (m_error_info_ != nullptr) {
      m_error_info_->SetCardError(kNoDataStoreCode, kModule, kFunctionReadCertificateDetail, 1);
    }
    return 1;
  }
  std::wstring l_type = m_data_store_->GetCertificateType();
  int l_check = 0;
  if (l_type.empty()) {
    l_check = CheckSignIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_);
    l_type = L"001";
  } else {
    l_check = CheckLoginIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_);
  }
  if (l_check != 0) {
    if (m_error_info_ != nullptr) m_error_info_->SetError(kIssuerRejectedCode, L"", L"", L"");
    return 1;
  }
  AddIssuerOu();
  SetSubjectString(m_subject_option_);
  ReadCertExtension();
  SetCertificateType(l_type);
  return 0;
}

void JpkiCertificate::AddIssuerOu() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  std::wstring l_second_unit;
  int l_units = 0;
  for (const x509::Rdn& l_rdn : l_info->issuer.rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    if (l_first.oid != x509::oid::kOrganizationalUnitName) continue;
    if (++l_units == 2) {
      l_second_unit = AttributeText(l_first);
      break;
    }
  }
  m_issuer_ += L" " + l_second_unit;
  m_issuer_short_name_ += l_second_unit;
}

void JpkiCertificate::ReadIssuerAltName() {
  m_issuer_alt_name_.clear();
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kIssuerAltName);
  if (!l_name) return;
  std::wstring l_organization;
  std::wstring l_units[2];
  bool l_have_organization = false;
  int l_unit_count = 0;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    if (!l_have_organization && l_first.oid == x509::oid::kOrganizationName) {
      l_organization = AttributeText(l_first);
      l_have_organization = true;
    } else if (l_unit_count < 2 && l_first.oid == x509::oid::kOrganizationalUnitName) {
      l_units[l_unit_count++] = AttributeText(l_first);
    }
    if (l_have_organization && l_unit_count == 2) break;
  }
  m_issuer_alt_name_ = l_organization + L" " + l_units[0] + L" " + l_units[1];
}

void JpkiCertificate::GetOtherName(const std::uint8_t* in_l_data, std::size_t in_l_size, std::wstring* out_l_text) {
  if (in_l_data == nullptr || out_l_text == nullptr) return;
  constexpr std::uint8_t kUtf8StringTag = 0x0C;
  std::size_t l_position = 0;
  std::size_t l_length = 0;
  if (!ParseTlv(kUtf8StringTag, in_l_data, in_l_size, 0, &l_position, &l_length)) return;
  *out_l_text = Utf8ToUtf16(in_l_data + l_position, l_length);
}

void JpkiCertificate::ReadCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_subject_address_.clear();
  m_date_of_birth_.clear();
  m_gender_.clear();
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr || m_data_store_ == nullptr) return;
  ReadIssuerAltName();
  // The user-authentication certificate carries no personal data.
  if (m_data_store_->GetCertificateType() == L"000") return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kSubjectAltName);
  if (l_extension == nullptr) return;
  x509::GeneralNames l_names;
  if (!x509::DecodeGeneralNames(l_extension->value.data(), l_extension->value.size(), l_names)) return;
  if (l_names.size() < kPersonalItemCount) return;
  // Each item is taken by its type: the card lists the substitute-character
  // name right after the name, so positions would mix the items up.
  ReadPersonalItem(l_names, kOidName, &m_subject_alt_name_);
  ReadPersonalItem(l_names, kOidDateOfBirth, &m_date_of_birth_);
  ReadPersonalItem(l_names, kOidSex, &m_gender_);
  ReadPersonalItem(l_names, kOidAddress, &m_subject_address_);
}

void JpkiCertificate::ReleaseResource() {
  m_access_.ReleaseCardSession();
  m_cert_context_.reset();
}

}  // namespace tavc
