#include "host/cert/registered_corporation.h"

#include <cstdint>
#include <vector>

#include "common/utf_conversion.h"
#include "host/cert/certificate.h"
#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kObjectIdentifier = 0x06;
constexpr std::uint8_t kUtf8String = 0x0C;

// A cursor over one extension value that walks headers with ParseTlv.
class TlvWalk {
 public:
  explicit TlvWalk(const std::vector<std::uint8_t>& in_l_value) : m_data_(in_l_value) {}

  // Enters a constructed element: the next read starts at its contents.
  bool Enter(std::uint8_t in_l_tag) {
    std::size_t l_value = 0;
    std::size_t l_length = 0;
    if (!Certificate::ParseTlv(in_l_tag, m_data_.data(), m_end_, m_position_, &l_value, &l_length)) return false;
    m_position_ = l_value;
    m_end_ = l_value + l_length;
    return true;
  }
  // Skips a whole element.
  bool Skip(std::uint8_t in_l_tag) {
    std::size_t l_value = 0;
    std::size_t l_length = 0;
    if (!Certificate::ParseTlv(in_l_tag, m_data_.data(), m_end_, m_position_, &l_value, &l_length)) return false;
    m_position_ = l_value + l_length;
    return true;
  }
  // Reads a UTF8String's text.
  bool Text(std::wstring* out_l_text) {
    std::size_t l_value = 0;
    std::size_t l_length = 0;
    if (!Certificate::ParseTlv(kUtf8String, m_data_.data(), m_end_, m_position_, &l_value, &l_length)) return false;
    *out_l_text = Utf8ToUtf16(m_data_.data() + l_value, l_length);
    m_position_ = l_value + l_length;
    return true;
  }
  // Enters a context tag, reads the UTF8String inside and goes past the tag.
  bool TaggedText(std::uint8_t in_l_tag, std::wstring* out_l_text) {
    std::size_t l_value = 0;
    std::size_t l_length = 0;
    if (!Certificate::ParseTlv(in_l_tag, m_data_.data(), m_end_, m_position_, &l_value, &l_length)) return false;
    const std::size_t l_after = l_value + l_length;
    const std::size_t l_saved_end = m_end_;
    m_position_ = l_value;
    m_end_ = l_after;
    const bool l_ok = Text(out_l_text);
    m_position_ = l_after;
    m_end_ = l_saved_end;
    return l_ok;
  }

 private:
  const std::vector<std::uint8_t>& m_data_;
  std::size_t m_position_ = 0;
  std::size_t m_end_ = m_data_.size();
};

const std::vector<std::uint8_t>* ExtensionValue(const x509::ParsedCertificate& in_l_certificate, const char* in_l_oid) {
  const x509::Extension* l_extension = x509::FindExtension(in_l_certificate, in_l_oid);
  return l_extension == nullptr ? nullptr : &l_extension->value;
}

}  // namespace

std::wstring ParseJCertifcatePolitics(const x509::ParsedCertificate& in_l_certificate) {
  const std::vector<std::uint8_t>* l_value = ExtensionValue(in_l_certificate, x509::oid::kRegistrationPolicyText);
  if (l_value == nullptr) return std::wstring();
  TlvWalk l_walk(*l_value);
  std::wstring l_text;
  if (l_walk.Enter(kSequence) && l_walk.Enter(kSequence) && l_walk.Skip(kObjectIdentifier) && l_walk.Enter(kSequence) &&
      l_walk.Enter(kSequence) && l_walk.Skip(kObjectIdentifier) && l_walk.Enter(kSequence) && l_walk.Enter(kSequence) &&
      l_walk.Text(&l_text)) {
    return l_text;
  }
  return std::wstring();
}

std::wstring ParseRegistrar(const x509::ParsedCertificate& in_l_certificate) {
  const std::vector<std::uint8_t>* l_value = ExtensionValue(in_l_certificate, x509::oid::kRegistrar);
  if (l_value == nullptr) return std::wstring();
  TlvWalk l_walk(*l_value);
  std::wstring l_text;
  return l_walk.Text(&l_text) ? l_text : std::wstring();
}

RegisteredCorporation ParseRegisterCorporationInfo(const x509::ParsedCertificate& in_l_certificate) {
  RegisteredCorporation l_corporation;
  const std::vector<std::uint8_t>* l_value = ExtensionValue(in_l_certificate, x509::oid::kRegisteredCorporationInfo);
  if (l_value == nullptr) return l_corporation;
  TlvWalk l_walk(*l_value);
  if (!l_walk.Enter(kSequence) || !l_walk.TaggedText(0xA0, &l_corporation.name)) return l_corporation;
  // [1] holds a PrintableString this system does not show.
  if (!l_walk.Skip(0xA1)) return l_corporation;
  if (!l_walk.TaggedText(0xA2, &l_corporation.address)) return l_corporation;
  if (!l_walk.TaggedText(0xA3, &l_corporation.representative_name)) return l_corporation;
  l_walk.TaggedText(0xA4, &l_corporation.representative_title);
  return l_corporation;
}

std::wstring IssuerCommonName(const x509::ParsedCertificate& in_l_certificate) {
  for (const x509::Rdn& l_rdn : in_l_certificate.issuer.rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    if (l_first.oid == x509::oid::kCommonName) return l_first.is_string ? l_first.text : std::wstring();
  }
  return std::wstring();
}

void Certificate::ReadRegisteredCorporationExtension() {
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
