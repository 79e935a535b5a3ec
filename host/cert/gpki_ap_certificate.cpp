#include "host/cert/gpki_ap_certificate.h"

#include <cstddef>

#include "common/hex_codec.h"
#include "platform/local_time.h"

namespace tavc {
namespace {

constexpr wchar_t kIssuerRejectedCode[] = L"EW044-4199";
constexpr char kOidSha256WithRsa[] = "1.2.840.113549.1.1.11";
constexpr std::uint8_t kSequenceTag = 0x30;
constexpr std::uint8_t kIntegerTag = 0x02;

struct SubjectLabel {
  const wchar_t* oid;
  const wchar_t* label;
};

constexpr SubjectLabel kSubjectLabels[] = {
    {L"2.5.4.3", L"CN"},
    {L"2.5.4.6", L"C"},
    {L"2.5.4.5", L"DeviceSerialNumber"},
    {L"0.9.2342.19200300.100.1.25", L"DC"},
    {L"1.2.840.113549.1.9.1", L"E"},
    {L"2.5.4.42", L"G"},
    {L"2.5.4.43", L"I"},
    {L"2.5.4.7", L"L"},
    {L"2.5.4.10", L"O"},
    {L"2.5.4.11", L"OU"},
    {L"2.5.4.8", L"S"},
    {L"2.5.4.9", L"Street"},
    {L"2.5.4.4", L"SN"},
    {L"2.5.4.12", L"T"},
    {L"1.2.840.113549.1.9.8", L"UnstructuredAddress"},
    {L"1.2.840.113549.1.9.2", L"UnstructuredName"},
};

std::wstring SubjectLabelOf(const std::wstring& in_l_oid) {
  for (const SubjectLabel& l_entry : kSubjectLabels) {
    if (in_l_oid == l_entry.oid) return l_entry.label;
  }
  return std::wstring();
}

std::wstring TwoDigits(int in_l_value) {
  std::wstring l_text = std::to_wstring(in_l_value);
  return l_text.size() < 2 ? L"0" + l_text : l_text;
}

// "%d年%d月%d日%d時%02d分%02d秒" of the local time; false when it cannot be had.
bool LocalTimeText(const x509::DateTime& in_l_utc, std::wstring* out_l_text) {
  const platform::CalendarTime l_utc{in_l_utc.year, in_l_utc.month,  in_l_utc.day,
                                     in_l_utc.hour, in_l_utc.minute, in_l_utc.second};
  platform::CalendarTime l_local;
  if (!platform::UtcToLocalTime(l_utc, &l_local)) return false;
  *out_l_text = std::to_wstring(l_local.year) + L"年" + std::to_wstring(l_local.month) + L"月" +
                std::to_wstring(l_local.day) + L"日" + std::to_wstring(l_local.hour) + L"時" +
                TwoDigits(l_local.minute) + L"分" + TwoDigits(l_local.second) + L"秒";
  return true;
}

}  // namespace

GpkiApCertificate::GpkiApCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                     ErrorInfo* in_l_error_info, platform::SCardApi& in_l_scard_api)
    : Certificate(in_l_data_store, in_l_result_data, in_l_error_info), m_access_(in_l_scard_api) {}

GpkiApCertificate::~GpkiApCertificate() = default;

int GpkiApCertificate::CheckIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                   const std::wstring& in_l_unit) {
  if (in_l_country != L"JP" || in_l_organization != L"Corvane Authority") return 1;
  return in_l_unit == L"OfficialStatusCA" || in_l_unit == L"TestOfficialStatusCA" ? 0 : 1;
}

void GpkiApCertificate::ClearDisplayTexts() {
  for (std::wstring* l_field :
       {&m_gpki_version_, &m_gpki_serial_number_, &m_gpki_signature_algorithm_, &m_gpki_issuer_,
        &m_gpki_not_before_date_time_, &m_gpki_not_after_date_time_, &m_gpki_subject_, &m_gpki_subject_public_key_,
        &m_gpki_subject_public_key_algorithm_, &m_gpki_cert_authority_key_id_, &m_gpki_subject_key_id_,
        &m_gpki_key_usage_, &m_gpki_cert_policies_, &m_gpki_subject_alt_name_, &m_gpki_issuer_alt_name_,
        &m_gpki_crl_dist_point_, &m_gpki_basic_constraints_, &m_gpki_enhanced_key_usage_, &m_gpki_finger_print_}) {
    l_field->clear();
  }
}

int GpkiApCertificate::ReadCertificateDetail() {
  // The object may be handed a second certificate; nothing of the first may show.
  SetCertificateType(std::wstring());
  ClearDisplayTexts();
  ReadCertBasic();
  if (CheckIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_) != 0) {
    if (m_error_info_ != nullptr) m_error_info_->SetError(kIssuerRejectedCode, L"", L"", L"");
    return 1;
  }
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info != nullptr) m_gpki_version_ = L"V" + std::to_wstring(l_info->version + 1);
  m_gpki_serial_number_ = m_serial_number_;
  ReadSignatureAlgorithm();
  ReadIssuer();
  ReadNotBeforeLocalTime();
  ReadNotAfterLocalTime();
  SetSubjectString();
  ReadSubjectPublicKeyInfo();
  ReadSubjectPublicInfoAlg();
  ReadCertExtension();
  SetCertificateType(m_data_store_ != nullptr ? m_data_store_->GetCertificateType() : std::wstring());
  return 0;
}

void GpkiApCertificate::ReleaseResource() {
  m_access_.ReleaseCardSession();
  m_cert_context_.reset();
}

void GpkiApCertificate::ReadSignatureAlgorithm() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const std::string& l_oid = l_info->signature_algorithm.oid;
  m_gpki_signature_algorithm_ = l_oid == kOidSha256WithRsa ? L"sha256WithRSAEncryption" : WideOid(l_oid);
}

void GpkiApCertificate::ReadIssuer() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  // The last RDN first, as the Windows certificate dialog lists the issuer.
  std::wstring l_text;
  for (const x509::Rdn& l_rdn : l_info->issuer.rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    std::wstring l_label;
    if (l_first.oid == "2.5.4.6") {
      l_label = L"C=";
    } else if (l_first.oid == "2.5.4.10") {
      l_label = L"O=";
    } else if (l_first.oid == "2.5.4.11") {
      l_label = L"OU=";
    }
    l_text = L", " + l_label + AttributeText(l_first) + l_text;
  }
  m_gpki_issuer_ = l_text.empty() ? l_text : l_text.substr(2);
}

void GpkiApCertificate::ReadNotBeforeLocalTime() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info != nullptr) LocalTimeText(l_info->not_before, &m_gpki_not_before_date_time_);
}

void GpkiApCertificate::ReadNotAfterLocalTime() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info != nullptr) LocalTimeText(l_info->not_after, &m_gpki_not_after_date_time_);
}

void GpkiApCertificate::SetSubjectString() {
  std::wstring l_text;
  for (std::size_t l_i = 0; l_i < m_subject_array_.size(); ++l_i) {
    const SubjectItem& l_item = m_subject_array_[l_i];
    if (l_i != 0) l_text += L", ";
    l_text += SubjectLabelOf(l_item.oid) + L"=" + l_item.value;
  }
  m_gpki_subject_ = l_text;
}

void GpkiApCertificate::ReadSubjectPublicKeyInfo() {
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info == nullptr) return;
  const std::vector<std::uint8_t>& l_key = l_info->public_key.key;
  m_gpki_subject_public_key_ = BytesToHex(l_key.data(), l_key.size(), HexCase::kUpper);
}

void GpkiApCertificate::ReadSubjectPublicInfoAlg() {
  std::wstring l_text = m_algorithm_;
  const x509::ParsedCertificate* l_info = GetCertInfo();
  if (l_info != nullptr && l_info->public_key.algorithm.oid == x509::kOidRsaEncryption) {
    l_text = L"rsaEncryption";
    // RSAPublicKey: SEQUENCE { modulus INTEGER, ... }; the size counts the
    // modulus bytes without the sign byte.
    const std::vector<std::uint8_t>& l_key = l_info->public_key.key;
    std::size_t l_sequence = 0;
    std::size_t l_sequence_length = 0;
    std::size_t l_modulus = 0;
    std::size_t l_modulus_length = 0;
    if (ParseTlv(kSequenceTag, l_key.data(), l_key.size(), 0, &l_sequence, &l_sequence_length) &&
        ParseTlv(kIntegerTag, l_key.data(), l_sequence + l_sequence_length, l_sequence, &l_modulus,
                 &l_modulus_length)) {
      if (l_modulus_length > 0 && l_key[l_modulus] == 0x00) --l_modulus_length;
      l_text += L"(" + std::to_wstring(l_modulus_length * 8) + L"bits)";
    }
  }
  m_gpki_subject_public_key_algorithm_ = l_text;
}

}  // namespace tavc
