// Recognition of the qualified certificate kinds a file may hold, and their
// display texts.
#include "host/cert/file_certificate.h"

#include "host/cert/registered_corporation.h"
#include "host/cert/x509/general_name.h"
#include "host/cert/x509/name_text.h"
#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

constexpr wchar_t kC[] = L"2.5.4.6";
constexpr wchar_t kO[] = L"2.5.4.10";
constexpr wchar_t kOu[] = L"2.5.4.11";
constexpr wchar_t kCn[] = L"2.5.4.3";
constexpr wchar_t kSt[] = L"2.5.4.8";
constexpr wchar_t kL[] = L"2.5.4.7";
constexpr wchar_t kTitle[] = L"2.5.4.12";
constexpr wchar_t kUserId[] = L"0.9.2342.19200300.100.1.1";

constexpr SubjectOption kTableA[] = {{kC, kRequired}, {kO, kRequired}, {kCn, kRequired}};
constexpr SubjectOption kTableB[] = {{kC, kRequired}, {kO, kRequired},  {kOu, kRequired}, {kSt, kOptional},
                                     {kL, kOptional}, {kOu, kOptional}, {kCn, kOptional}};
constexpr SubjectOption kTableC[] = {{kC, kRequired}, {kO, kRequired}, {kOu, kRequired}, {kOu, kRequired}};
constexpr SubjectOption kTableD[] = {{kC, kRequired},  {kO, kRequired},  {kOu, kRequired},
                                     {kOu, kRequired}, {kSt, kOptional}, {kL, kOptional}};
constexpr SubjectOption kTableE[] = {
    {kC, kRequired}, {kO, kRequired}, {kCn, kRequired}, {kTitle, kRequired}, {kUserId, kRequired}};
constexpr SubjectOption kTableF[] = {{kC, kRequired}, {kO, kRequired}, {kCn, kRequired}, {kUserId, kRequired}};

// The G-ID kinds by a keyword of the subject, tried in this order.
enum class GidKind { kGeneral, kGyosei, kShiho, kSocial, kLand };
struct GidKeyword {
  const wchar_t* keyword;
  GidKind kind;
};
constexpr GidKeyword kGidKeywords[] = {
    {L"SECOM Trust.net Co., Ltd.", GidKind::kGeneral},
    {L"Japan Federation of Gyoseishoshi Lawyer's Associations", GidKind::kGyosei},
    {L"Japan Federation of Shiho-Shoshi Lawyer's Associations", GidKind::kShiho},
    {L"Japan Federation of Labor and Social Security Attorney's Associations", GidKind::kSocial},
    {L"JapanFederationOfLaborAndSocialSecurityAttorney'sAssociations", GidKind::kSocial},
    {L"Japan Federation of Land-and-House Investigators Associations", GidKind::kLand},
};

}  // namespace

void FileCertificate::SetKind(const wchar_t* in_l_type, const std::vector<SubjectItem>& in_l_option_table) {
  SetCertificateType(in_l_type);
  SetSubjectString(in_l_option_table);
}

int FileCertificate::Refuse() {
  SetCertificateType(L"");
  if (m_error_info_ != nullptr) m_error_info_->SetError(L"EW244-3500", L"", L"", L"");
  return 1;
}

int FileCertificate::CheckSubject(const std::wstring& in_l_keyword) const {
  for (const SubjectItem& l_item : m_subject_array_) {
    if (l_item.value.find(in_l_keyword) != std::wstring::npos) return 0;
  }
  return 1;
}

int FileCertificate::ReadCertificateDetail() {
  SetCertificateType(L"");
  ReadCertBasic();
  if (CheckSyougyouIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_) == 0) {
    AddIssuerCn();
    SetKind(L"007", MakeSubjectOptionTable(kTableA));
    ReadSyougyouCertExtension();
    return 0;
  }
  if (CheckDiacertIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_) == 0) {
    SetKind(L"012", MakeSubjectOptionTable(kTableB));
    ReadDiacertCertExtension();
    return 0;
  }
  if (CheckSecomIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_) != 0) return Refuse();
  for (const GidKeyword& l_keyword : kGidKeywords) {
    if (CheckSubject(l_keyword.keyword) != 0) continue;
    switch (l_keyword.kind) {
      case GidKind::kGeneral:
        return ReadGenCertExtension() == 0 ? 0 : Refuse();
      case GidKind::kGyosei:
        SetKind(L"015", MakeSubjectOptionTable(kTableE));
        ReadGyoseiCertExtension();
        return 0;
      case GidKind::kShiho:
        SetKind(L"016", MakeSubjectOptionTable(kTableF));
        ReadLandCertExtension();
        return 0;
      case GidKind::kSocial:
        // The same entries as table E.
        SetKind(L"017", MakeSubjectOptionTable(kTableE));
        ReadSocialCertExtension();
        return 0;
      case GidKind::kLand:
        // The same entries as table F.
        SetKind(L"018", MakeSubjectOptionTable(kTableF));
        ReadLandCertExtension();
        return 0;
    }
  }
  return Refuse();
}

void FileCertificate::AddIssuerCn() {
  if (!m_cert_context_) return;
  const std::wstring l_common_name = IssuerCommonName(*m_cert_context_);
  m_issuer_ += L" " + l_common_name;
  m_issuer_short_name_ += l_common_name;
}

void FileCertificate::AddSubjectCnAndSn() { m_subject_ += L" " + m_subject_cn_ + L" " + m_subject_sn_; }

void FileCertificate::ReadBasicCert() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_subject_cn_.clear();
  m_subject_sn_.clear();
  m_issuer_alt_name_ = m_issuer_o_ + L" " + m_issuer_ou_;
  if (!m_cert_context_) return;
  bool l_have_common_name = false;
  bool l_have_serial = false;
  for (const x509::Rdn& l_rdn : m_cert_context_->subject.rdns) {
    for (const x509::NameAttribute& l_attribute : l_rdn) {
      if (!l_have_common_name && l_attribute.oid == x509::oid::kCommonName) {
        m_subject_cn_ = AttributeText(l_attribute);
        l_have_common_name = true;
      } else if (!l_have_serial && l_attribute.oid == x509::oid::kSerialNumber) {
        m_subject_sn_ = AttributeText(l_attribute);
        l_have_serial = true;
      }
    }
  }
}

void FileCertificate::ReadAttrCert() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_subject_address_.clear();
  ReadBasicCert();
  if (!m_cert_context_) return;
  std::wstring l_state;
  std::wstring l_locality;
  bool l_have_state = false;
  bool l_have_locality = false;
  for (const x509::Rdn& l_rdn : m_cert_context_->subject.rdns) {
    for (const x509::NameAttribute& l_attribute : l_rdn) {
      if (!l_have_state && l_attribute.oid == x509::oid::kStateOrProvinceName) {
        l_state = AttributeText(l_attribute);
        l_have_state = true;
      } else if (!l_have_locality && l_attribute.oid == x509::oid::kLocalityName) {
        l_locality = AttributeText(l_attribute);
        l_have_locality = true;
      }
    }
  }
  m_subject_address_ = CombineOptionalString(l_state, l_locality);
}

void FileCertificate::ReadSyougyouCertExtension() { ReadRegisteredCorporationExtension(); }

void FileCertificate::ReadDiacertCertExtension() {
  ReadCommonCertExtension();
  m_subject_alt_name_ = CombineOptionalString(m_subject_alt_name_o_, m_subject_alt_name_cn_);
  m_subject_address_ = m_address_l_.empty() ? m_address_s_ : m_address_s_ + L" " + m_address_l_;
  ReadCommonSubjectAltNameAll();
  SetProxyRights(m_subject_alt_name_all_ou_);
}

int FileCertificate::ReadGenCertExtension() {
  if (!m_cert_context_) return 1;
  const x509::Extension* l_extension = x509::FindExtension(*m_cert_context_, x509::oid::kSubjectAltName);
  auto l_plain = [this] {
    SetKind(L"013", MakeSubjectOptionTable(kTableC));
    ReadBasicCert();
    AddSubjectCnAndSn();
    return 0;
  };
  if (l_extension == nullptr) return l_plain();
  x509::GeneralNames l_names;
  if (!x509::DecodeGeneralNames(l_extension->value.data(), l_extension->value.size(), l_names)) return 1;
  const x509::GeneralName* l_directory = nullptr;
  if (l_names.size() == 1) {
    if (l_names.front().kind != x509::GeneralNameKind::kDirectoryName) return l_plain();
    l_directory = &l_names.front();
  } else if (l_names.size() == 2) {
    for (const x509::GeneralName& l_name : l_names) {
      if (l_name.kind == x509::GeneralNameKind::kDirectoryName) {
        l_directory = &l_name;
        break;
      }
    }
    if (l_directory == nullptr) return 1;
  } else {
    return 1;
  }
  const std::wstring l_text = x509::RenderName(l_directory->directory_name, x509::RdnOrder::kAsEncoded);
  if (l_text.empty() || l_text.find(L"C=JP") == std::wstring::npos) return 1;
  SetKind(L"014", MakeSubjectOptionTable(kTableD));
  ReadAttrCert();
  AddSubjectCnAndSn();
  ReadCommonSubjectAltNameAll();
  SetProxyRights(m_subject_alt_name_all_ou_);
  SetProxyRepresentative(m_subject_alt_name_all_ou_);
  return 0;
}

void FileCertificate::ReadGyoseiCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  m_subject_address_.clear();
  std::wstring l_organization;
  std::wstring l_unit;
  if (ReadIssuerAltNameParts(&l_organization, &l_unit)) {
    m_issuer_alt_name_ = CombineOptionalString(l_organization, l_unit);
  }
  ReadCommonSubjectAltName();
}

void FileCertificate::ReadSocialCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  ReadBasicCert();
  ReadCommonSubjectAltName();
  m_subject_alt_name_ = m_subject_alt_name_ou_ + L" " + m_subject_alt_name_cn_;
}

void FileCertificate::ReadLandCertExtension() {
  m_issuer_alt_name_.clear();
  m_subject_alt_name_.clear();
  ReadBasicCert();
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kSubjectAltName);
  if (!l_name) return;
  for (const x509::Rdn& l_rdn : l_name->rdns) {
    if (l_rdn.front().oid == x509::oid::kCommonName) {
      m_subject_alt_name_ = AttributeText(l_rdn.front());
      return;
    }
  }
}

}  // namespace tavc
