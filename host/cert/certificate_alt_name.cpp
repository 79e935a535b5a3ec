// The alternative-name readers of Certificate and the keyword extraction from
// their texts.
#include "host/cert/certificate.h"

#include "host/cert/x509/general_name.h"
#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

constexpr wchar_t kListSeparator = L'\v';

// The value after a keyword: from in_l_prefix_length characters past the
// keyword's start up to the next separator (searched from one character on),
// or to the end of the text. Empty when the keyword is absent.
std::wstring KeywordValue(const std::wstring& in_l_text, const std::wstring& in_l_keyword,
                          std::size_t in_l_prefix_length) {
  const std::size_t l_found = in_l_text.find(in_l_keyword);
  if (l_found == std::wstring::npos) return std::wstring();
  const std::size_t l_start = l_found + in_l_prefix_length;
  if (l_start + 1 < in_l_text.size()) {
    const std::size_t l_end = in_l_text.find(kListSeparator, l_start + 1);
    if (l_end != std::wstring::npos) return in_l_text.substr(l_start, l_end - l_start);
  }
  return in_l_text.substr(l_start);
}

void AppendListValue(std::wstring& io_l_list, const std::wstring& in_l_value, bool& io_l_started) {
  if (io_l_started) io_l_list += kListSeparator;
  io_l_list += in_l_value;
  io_l_started = true;
}

}  // namespace

std::unique_ptr<x509::Name> Certificate::GetAltNameInfo(const std::string& in_l_oid) const {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return nullptr;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, in_l_oid);
  if (l_extension == nullptr) return nullptr;
  x509::GeneralNames l_names;
  if (!x509::DecodeGeneralNames(l_extension->value.data(), l_extension->value.size(), l_names)) return nullptr;
  if (l_names.empty() || l_names.front().kind != x509::GeneralNameKind::kDirectoryName) return nullptr;
  return std::make_unique<x509::Name>(l_names.front().directory_name);
}

void Certificate::ReadCommonCertExtension() {
  ReadCommonIssuerAltName();
  ReadCommonSubjectAltName();
}

void Certificate::ReadCommonIssuerAltName() {
  m_issuer_alt_name_.clear();
  std::wstring l_organization;
  std::wstring l_unit;
  if (ReadIssuerAltNameParts(&l_organization, &l_unit)) m_issuer_alt_name_ = l_organization + L" " + l_unit;
}

bool Certificate::ReadIssuerAltNameParts(std::wstring* out_l_organization, std::wstring* out_l_unit) const {
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kIssuerAltName);
  if (!l_name) return false;
  bool l_have_organization = false;
  bool l_have_unit = false;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    if (!l_have_organization && l_first.oid == x509::oid::kOrganizationName) {
      *out_l_organization = AttributeText(l_first);
      l_have_organization = true;
    } else if (!l_have_unit && l_first.oid == x509::oid::kOrganizationalUnitName) {
      *out_l_unit = AttributeText(l_first);
      l_have_unit = true;
    }
    if (l_have_organization && l_have_unit) break;
  }
  return true;
}

void Certificate::ReadCommonSubjectAltName() {
  m_subject_alt_name_.clear();
  m_subject_address_.clear();
  m_subject_alt_name_o_.clear();
  m_subject_alt_name_o2_.clear();
  m_subject_alt_name_cn_.clear();
  m_subject_alt_name_ou_.clear();
  m_address_s_.clear();
  m_address_l_.clear();
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kSubjectAltName);
  if (!l_name) return;
  bool l_have_state = false;
  bool l_have_locality = false;
  int l_organizations = 0;
  bool l_have_common_name = false;
  bool l_have_unit = false;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    const std::string& l_oid = l_first.oid;
    if (!l_have_state && l_oid == x509::oid::kStateOrProvinceName) {
      m_address_s_ = AttributeText(l_first);
      l_have_state = true;
    } else if (!l_have_locality && l_oid == x509::oid::kLocalityName) {
      m_address_l_ = AttributeText(l_first);
      l_have_locality = true;
    } else if (l_organizations < 2 && l_oid == x509::oid::kOrganizationName) {
      (l_organizations == 0 ? m_subject_alt_name_o_ : m_subject_alt_name_o2_) = AttributeText(l_first);
      ++l_organizations;
    } else if (!l_have_common_name && l_oid == x509::oid::kCommonName) {
      m_subject_alt_name_cn_ = AttributeText(l_first);
      l_have_common_name = true;
    } else if (!l_have_unit && l_oid == x509::oid::kOrganizationalUnitName) {
      m_subject_alt_name_ou_ = AttributeText(l_first);
      l_have_unit = true;
    }
    if (l_have_state && l_have_locality && l_organizations == 2 && l_have_common_name && l_have_unit) break;
  }
}

void Certificate::ReadCommonSubjectAltNameAll() {
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kSubjectAltName);
  if (!l_name) return;
  std::wstring l_all;
  std::wstring l_units;
  std::wstring l_descriptions;
  bool l_all_started = false;
  bool l_units_started = false;
  bool l_descriptions_started = false;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    const std::wstring l_value = AttributeText(l_first);
    AppendListValue(l_all, l_value, l_all_started);
    if (l_first.oid == x509::oid::kOrganizationalUnitName) AppendListValue(l_units, l_value, l_units_started);
    if (l_first.oid == x509::oid::kDescription) AppendListValue(l_descriptions, l_value, l_descriptions_started);
  }
  m_subject_alt_name_all_ = l_all;
  m_subject_alt_name_all_ou_ = l_units;
  m_subject_alt_name_all_desc_ = l_descriptions;
}

void Certificate::SetProxyRights(const std::wstring& in_l_text) {
  // The value keeps the tax system's name: only "代理権内容：" (6 characters) is skipped.
  constexpr std::size_t kPrefixLength = 6;
  m_subject_alt_name_proxy_eltax_ = KeywordValue(in_l_text, L"代理権内容：LTAX", kPrefixLength);
  m_subject_alt_name_proxy_etax_ = KeywordValue(in_l_text, L"代理権内容：ETAX", kPrefixLength);
}

void Certificate::SetProxyRepresentative(const std::wstring& in_l_text) {
  const std::wstring l_keyword = L"組織代表者名：";
  m_representative_director_name_ = KeywordValue(in_l_text, l_keyword, l_keyword.size());
}

}  // namespace tavc
