// The extension texts of GpkiApCertificate.
#include "host/cert/gpki_ap_certificate.h"

#include <cstddef>

#include "common/hex_codec.h"
#include "host/cert/x509/certificate_policies.h"
#include "host/cert/x509/crl_distribution_points.h"
#include "host/cert/x509/extension_values.h"
#include "host/cert/x509/general_name.h"
#include "host/cert/x509/name_text.h"
#include "host/cert/x509/x509_oids.h"
#include "platform/sha256.h"

namespace tavc {
namespace {

constexpr char kOidCpsQualifier[] = "1.3.6.1.5.5.7.2.1";

std::wstring CriticalPrefix(const x509::Extension& in_l_extension) {
  return in_l_extension.critical ? L"critical TRUE, " : L"critical FALSE, ";
}

std::wstring UpperHex(const std::vector<std::uint8_t>& in_l_bytes) {
  return BytesToHex(in_l_bytes.data(), in_l_bytes.size(), HexCase::kUpper);
}

struct KeyUsageName {
  std::size_t byte;
  std::uint8_t mask;
  const wchar_t* name;
};

// The order the confirmation screen has always shown them in.
constexpr KeyUsageName kKeyUsageNames[] = {
    {0, 0x10, L"dataEncipherment"}, {0, 0x80, L"digitalSignature"}, {0, 0x08, L"keyAgreement"},
    {0, 0x04, L"keyCertSign"},      {0, 0x20, L"keyEncipherment"},  {0, 0x40, L"nonRepudiation"},
    {0, 0x02, L"cRLSign"},          {1, 0x80, L"decipherOnly"},
};

struct UsageName {
  const char* oid;
  const wchar_t* name;
};

constexpr UsageName kExtendedKeyUsageNames[] = {
    {"1.3.6.1.5.5.7.3.1", L"serverAuth"},       {"1.3.6.1.5.5.7.3.2", L"clientAuth"},
    {"1.3.6.1.5.5.7.3.3", L"codeSigning"},      {"1.3.6.1.5.5.7.3.4", L"eMailProtection"},
    {"1.3.6.1.5.5.7.3.5", L"iPSECEndSystem"},   {"1.3.6.1.5.5.7.3.6", L"iPSECTunnel"},
    {"1.3.6.1.5.5.7.3.7", L"iPSECUser"},        {"1.3.6.1.5.5.7.3.8", L"timestampSigning"},
    {"1.3.6.1.5.5.7.3.9", L"oCSPSigning"},
};

void AppendListItem(std::wstring& io_l_list, const wchar_t* in_l_item) {
  if (!io_l_list.empty()) io_l_list += L',';
  io_l_list += in_l_item;
}

}  // namespace

void GpkiApCertificate::ReadCertExtension() {
  if (GetCertInfo() == nullptr || m_data_store_ == nullptr) return;
  ReadAuthorityKeyID();
  ReadSubjectKeyID();
  ReadKeyUsage();
  ReadCertPolicies();
  ReadSubjectAltName();
  ReadIssuerAltName();
  ReadCrlDistPoints();
  ReadBasicConstraints();
  ReadEnhancedKeyUsage();
  CalcFingerPrint();
}

void GpkiApCertificate::ReadAuthorityKeyID() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kAuthorityKeyIdentifier);
  x509::AuthorityKeyId l_key_id;
  if (l_extension == nullptr ||
      !x509::DecodeAuthorityKeyId(l_extension->value.data(), l_extension->value.size(), l_key_id)) {
    return;
  }
  m_gpki_cert_authority_key_id_ = CriticalPrefix(*l_extension) + L"keyIdentifier=" + UpperHex(l_key_id.key_id);
}

void GpkiApCertificate::ReadSubjectKeyID() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kSubjectKeyIdentifier);
  std::vector<std::uint8_t> l_key_id;
  if (l_extension == nullptr ||
      !x509::DecodeSubjectKeyId(l_extension->value.data(), l_extension->value.size(), l_key_id)) {
    return;
  }
  m_gpki_subject_key_id_ = CriticalPrefix(*l_extension) + UpperHex(l_key_id);
}

void GpkiApCertificate::ReadKeyUsage() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kKeyUsage);
  x509::KeyUsage l_usage;
  if (l_extension == nullptr || !x509::DecodeKeyUsage(l_extension->value.data(), l_extension->value.size(), l_usage)) {
    return;
  }
  std::wstring l_names;
  for (const KeyUsageName& l_entry : kKeyUsageNames) {
    if (l_entry.byte < l_usage.bytes.size() && (l_usage.bytes[l_entry.byte] & l_entry.mask) != 0) {
      AppendListItem(l_names, l_entry.name);
    }
  }
  m_gpki_key_usage_ = CriticalPrefix(*l_extension) + l_names;
}

void GpkiApCertificate::ReadCertPolicies() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kCertificatePolicies);
  std::vector<x509::PolicyInformation> l_policies;
  if (l_extension == nullptr ||
      !x509::DecodeCertificatePolicies(l_extension->value.data(), l_extension->value.size(), l_policies) ||
      l_policies.empty()) {
    return;
  }
  const x509::PolicyInformation& l_policy = l_policies.front();
  std::wstring l_text = CriticalPrefix(*l_extension) + L"[1]certificatePolicies:, policyIdentifier=" +
                        WideOid(l_policy.policy_oid) + L", ";
  for (std::size_t l_i = 0; l_i < l_policy.qualifiers.size(); ++l_i) {
    const x509::PolicyQualifier& l_qualifier = l_policy.qualifiers[l_i];
    l_text += L"[" + std::to_wstring(l_i + 1) + L",1]policyQualifiers:, policyQualifierId=";
    l_text += l_qualifier.oid == kOidCpsQualifier ? std::wstring(L"CPS") : WideOid(l_qualifier.oid);
    l_text += L", qualifier=" + l_qualifier.text;
  }
  m_gpki_cert_policies_ = l_text;
}

void GpkiApCertificate::ReadSubjectAltName() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kSubjectAltName);
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kSubjectAltName);
  if (l_extension == nullptr || !l_name) return;
  m_gpki_subject_alt_name_ =
      CriticalPrefix(*l_extension) + L"directoryName:, " + x509::RenderName(*l_name, x509::RdnOrder::kReversed);
}

void GpkiApCertificate::ReadIssuerAltName() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kIssuerAltName);
  const std::unique_ptr<x509::Name> l_name = GetAltNameInfo(x509::oid::kIssuerAltName);
  if (l_extension == nullptr || !l_name) return;
  m_gpki_issuer_alt_name_ =
      CriticalPrefix(*l_extension) + L"directoryName:, " + x509::RenderName(*l_name, x509::RdnOrder::kReversed);
}

void GpkiApCertificate::ReadCrlDistPoints() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kCrlDistributionPoints);
  std::vector<x509::DistributionPoint> l_points;
  if (l_extension == nullptr ||
      !x509::DecodeCrlDistributionPoints(l_extension->value.data(), l_extension->value.size(), l_points)) {
    return;
  }
  std::wstring l_text = CriticalPrefix(*l_extension);
  for (std::size_t l_i = 0; l_i < l_points.size(); ++l_i) {
    const x509::DistributionPoint& l_point = l_points[l_i];
    l_text += L"[" + std::to_wstring(l_i + 1) + L"]cRLDistributionPoints:, DistributionPointName:, ";
    if (!l_point.has_point_name || !l_point.point_name_is_full) continue;
    l_text += L"fullName:, ";
    if (!l_point.full_name.empty() && l_point.full_name.front().kind == x509::GeneralNameKind::kDirectoryName) {
      l_text += L"directoryName:, " +
                x509::RenderName(l_point.full_name.front().directory_name, x509::RdnOrder::kReversed);
    }
  }
  m_gpki_crl_dist_point_ = l_text;
}

void GpkiApCertificate::ReadBasicConstraints() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kBasicConstraints);
  x509::BasicConstraints l_constraints;
  if (l_extension == nullptr ||
      !x509::DecodeBasicConstraints(l_extension->value.data(), l_extension->value.size(), l_constraints)) {
    return;
  }
  m_gpki_basic_constraints_ =
      CriticalPrefix(*l_extension) + L"Subject Type=" + (l_constraints.is_ca ? L"CA" : L"Not") +
      L", Path Length Constraint=" +
      (l_constraints.has_path_length ? std::to_wstring(l_constraints.path_length) : std::wstring(L"None"));
}

void GpkiApCertificate::ReadEnhancedKeyUsage() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const x509::Extension* l_extension = x509::FindExtension(*l_info, x509::oid::kExtendedKeyUsage);
  std::vector<std::string> l_oids;
  if (l_extension == nullptr ||
      !x509::DecodeExtendedKeyUsage(l_extension->value.data(), l_extension->value.size(), l_oids)) {
    return;
  }
  std::wstring l_names;
  for (const std::string& l_oid : l_oids) {
    for (const UsageName& l_entry : kExtendedKeyUsageNames) {
      if (l_oid == l_entry.oid) AppendListItem(l_names, l_entry.name);
    }
  }
  m_gpki_enhanced_key_usage_ = CriticalPrefix(*l_extension) + l_names;
}

void GpkiApCertificate::CalcFingerPrint() {
  std::vector<std::uint8_t> l_der;
  if (!HexToBytes(m_certificate_hex_, l_der)) return;
  platform::Sha256Digest l_digest{};
  std::uint32_t l_error = 0;
  if (!platform::ComputeSha256(l_der.data(), l_der.size(), &l_digest, &l_error)) return;
  m_gpki_finger_print_ = BytesToHex(l_digest.data(), l_digest.size(), HexCase::kUpper);
}

}  // namespace tavc
