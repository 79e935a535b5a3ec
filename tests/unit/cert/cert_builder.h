#pragma once
// Certificates for the certificate-class tests, built by hand so that each test
// has exactly the names and extensions it needs.
#include <string>
#include <utility>
#include <vector>

#include "host/cert/certificate.h"
#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace cert_test {

using x509::test::Bytes;
using x509::test::Cat;
using x509::test::CertificateParts;
using x509::test::Extension;
using x509::test::Oid;
using x509::test::Printable;
using x509::test::Rdn;
using x509::test::Seq;
using x509::test::Set;
using x509::test::Tlv;
using x509::test::Utf8;

inline const char kC[] = "2.5.4.6";
inline const char kO[] = "2.5.4.10";
inline const char kOu[] = "2.5.4.11";
inline const char kCn[] = "2.5.4.3";
inline const char kL[] = "2.5.4.7";
inline const char kSt[] = "2.5.4.8";
inline const char kDescription[] = "2.5.4.13";

// (attribute type, encoded value), one RDN each.
using NameSpec = std::vector<std::pair<std::string, Bytes>>;

inline Bytes Name(const NameSpec& in_l_rdns) {
  Bytes l_content;
  for (const auto& l_rdn : in_l_rdns) {
    const Bytes l_encoded = Rdn(l_rdn.first, l_rdn.second);
    l_content.insert(l_content.end(), l_encoded.begin(), l_encoded.end());
  }
  return Tlv(0x30, l_content);
}

inline Bytes DirectoryNameEntry(const NameSpec& in_l_rdns) { return Tlv(0xA4, Name(in_l_rdns)); }
inline Bytes OtherNameEntry(const std::string& in_l_type, const Bytes& in_l_value) {
  return Tlv(0xA0, Cat({Oid(in_l_type), Tlv(0xA0, in_l_value)}));
}
inline Bytes GeneralNamesOf(const std::vector<Bytes>& in_l_entries) {
  Bytes l_content;
  for (const Bytes& l_entry : in_l_entries) l_content.insert(l_content.end(), l_entry.begin(), l_entry.end());
  return Tlv(0x30, l_content);
}
inline Bytes SubjectAltName(const std::vector<Bytes>& in_l_entries, bool in_l_critical = false) {
  return Extension("2.5.29.17", in_l_critical, GeneralNamesOf(in_l_entries));
}
inline Bytes IssuerAltName(const std::vector<Bytes>& in_l_entries, bool in_l_critical = false) {
  return Extension("2.5.29.18", in_l_critical, GeneralNamesOf(in_l_entries));
}

inline std::wstring HexOfDer(const Bytes& in_l_der) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring l_text;
  for (std::uint8_t l_byte : in_l_der) {
    l_text += kDigits[l_byte >> 4];
    l_text += kDigits[l_byte & 0x0F];
  }
  return l_text;
}

// A certificate with no behaviour of its own, to drive the shared parsers.
class PlainCertificate final : public Certificate {
 public:
  PlainCertificate() : Certificate(nullptr, nullptr, nullptr) {}
  explicit PlainCertificate(const Bytes& in_l_der) : PlainCertificate() {
    SetCertificateHex(HexOfDer(in_l_der));
    ReadCertBasic();
  }
  int ReadCertificate() override { return 0; }
  int ComputeSignature() override { return 0; }
  int ReadCertificateDetail() override { return 0; }
  void ReleaseResource() override { m_cert_context_.reset(); }
  void ReadCertExtension() override {}
};

}  // namespace cert_test
}  // namespace tavc
