#include "host/cert/certificate.h"

#include <utility>

#include "common/base64.h"
#include "common/hex_codec.h"
#include "host/cert/x509/x509_oids.h"

namespace tavc {
namespace {

// A non-negative number with leading zeros to at least in_l_width digits.
std::wstring Padded(int in_l_value, std::size_t in_l_width) {
  std::wstring l_text = std::to_wstring(in_l_value);
  if (l_text.size() < in_l_width) l_text.insert(0, in_l_width - l_text.size(), L'0');
  return l_text;
}

std::wstring UtcDigits(const x509::DateTime& in_l_time) {
  return Padded(in_l_time.year, 4) + Padded(in_l_time.month, 2) + Padded(in_l_time.day, 2) +
         Padded(in_l_time.hour, 2) + Padded(in_l_time.minute, 2) + Padded(in_l_time.second, 2);
}

}  // namespace

Certificate::Certificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info)
    : m_data_store_(in_l_data_store), m_result_data_(in_l_result_data), m_error_info_(in_l_error_info) {}

Certificate::~Certificate() = default;

std::wstring Certificate::AttributeText(const x509::NameAttribute& in_l_attribute) {
  return in_l_attribute.is_string ? in_l_attribute.text : std::wstring();
}

std::wstring Certificate::WideOid(const std::string& in_l_oid) { return std::wstring(in_l_oid.begin(), in_l_oid.end()); }

void Certificate::ReadCertBasic() {
  m_certificate_version_.clear();
  m_serial_number_.clear();
  m_issuer_.clear();
  m_issuer_c_.clear();
  m_issuer_o_.clear();
  m_issuer_ou_.clear();
  m_issuer_short_name_.clear();
  m_not_before_utc_date_time_.clear();
  m_not_after_utc_date_time_.clear();
  m_algorithm_.clear();
  m_subject_public_info_.clear();
  m_subject_array_.clear();
  if (m_certificate_hex_.empty()) return;

  // A context set for another certificate (the text was replaced since) is not
  // this certificate's: it is decoded again from the text.
  std::vector<std::uint8_t> l_der;
  const bool l_hex_ok = HexToBytes(m_certificate_hex_, l_der);
  if (!m_cert_context_ || (l_hex_ok && m_cert_context_->der != l_der)) {
    m_cert_context_.reset();
    if (!l_hex_ok) return;
    auto l_parsed = std::make_unique<x509::ParsedCertificate>();
    if (!x509::DecodeCertificate(l_der.data(), l_der.size(), *l_parsed)) return;
    m_cert_context_ = std::move(l_parsed);
  }
  const x509::ParsedCertificate& l_info = *m_cert_context_;

  m_certificate_version_ = std::to_wstring(l_info.version);
  m_serial_number_ = BytesToHex(l_info.serial_number.data(), l_info.serial_number.size(), HexCase::kLower);

  for (const x509::Rdn& l_rdn : l_info.issuer.rdns) {
    const x509::NameAttribute& l_first = l_rdn.front();
    if (l_first.oid == x509::oid::kCountryName) {
      m_issuer_c_ = AttributeText(l_first);
    } else if (l_first.oid == x509::oid::kOrganizationName) {
      m_issuer_o_ = AttributeText(l_first);
    } else if (l_first.oid == x509::oid::kOrganizationalUnitName) {
      m_issuer_ou_ = AttributeText(l_first);
    }
    if (!m_issuer_c_.empty() && !m_issuer_o_.empty() && !m_issuer_ou_.empty()) break;
  }
  m_issuer_ = m_issuer_c_ + L" " + m_issuer_o_ + L" " + m_issuer_ou_;
  m_issuer_short_name_ = m_issuer_o_ + m_issuer_ou_;

  m_not_before_utc_date_time_ = UtcDigits(l_info.not_before);
  m_not_after_utc_date_time_ = UtcDigits(l_info.not_after);
  SetSubjectArray();
  m_algorithm_ = WideOid(l_info.public_key.algorithm.oid);
  m_subject_public_info_ = EncodeBase64(l_info.public_key.key.data(), l_info.public_key.key.size());
}

void Certificate::SetSubjectArray() {
  if (!m_cert_context_) return;
  std::vector<SubjectItem> l_items;
  for (const x509::Rdn& l_rdn : m_cert_context_->subject.rdns) {
    for (const x509::NameAttribute& l_attribute : l_rdn) {
      l_items.push_back(SubjectItem{WideOid(l_attribute.oid), AttributeText(l_attribute), kRequired});
    }
  }
  m_subject_array_.swap(l_items);
}

void Certificate::SetSubjectString(const std::vector<SubjectItem>& in_l_option_table) {
  m_subject_.clear();
  std::size_t l_start = 0;
  std::vector<std::wstring> l_parts;
  for (const SubjectItem& l_entry : in_l_option_table) {
    if (l_start >= m_subject_array_.size()) break;
    const bool l_required = l_entry.option == kRequired;
    bool l_found = false;
    for (std::size_t l_i = l_start; l_i < m_subject_array_.size(); ++l_i) {
      const SubjectItem& l_item = m_subject_array_[l_i];
      if (l_item.oid != l_entry.oid || (!l_required && l_item.value.empty())) continue;
      l_parts.push_back(l_item.value);
      l_start = l_i + 1;
      l_found = true;
      break;
    }
    if (!l_found && l_required) l_parts.emplace_back();
  }
  for (std::size_t l_i = 0; l_i < l_parts.size(); ++l_i) {
    if (l_i != 0) m_subject_ += L' ';
    m_subject_ += l_parts[l_i];
  }
}

std::wstring Certificate::CombineOptionalString(const std::wstring& in_l_a, const std::wstring& in_l_b) {
  if (!in_l_a.empty() && !in_l_b.empty()) return in_l_a + L" " + in_l_b;
  return in_l_a.empty() ? in_l_b : in_l_a;
}

void Certificate::ConvertEndian(std::uint8_t* io_l_data, std::size_t in_l_size) {
  if (io_l_data == nullptr) return;
  for (std::size_t l_i = 0; l_i < in_l_size / 2; ++l_i) std::swap(io_l_data[l_i], io_l_data[in_l_size - 1 - l_i]);
}

bool Certificate::ParseTlv(std::uint8_t in_l_tag, const std::uint8_t* in_l_data, std::size_t in_l_size,
                           std::size_t in_l_position, std::size_t* out_l_value_position, std::size_t* out_l_length) {
  if (in_l_data == nullptr || out_l_value_position == nullptr || out_l_length == nullptr) return false;
  if (in_l_position >= in_l_size || in_l_size - in_l_position < 2) return false;
  if (in_l_data[in_l_position] != in_l_tag) return false;
  const std::uint8_t l_first = in_l_data[in_l_position + 1];
  std::size_t l_value_position = in_l_position + 2;
  std::uint64_t l_length = l_first;
  if ((l_first & 0x80U) != 0) {
    const std::size_t l_count = l_first & 0x7FU;
    if (l_count > 4 || in_l_size - l_value_position < l_count) return false;
    l_length = 0;
    for (std::size_t l_i = 0; l_i < l_count; ++l_i) l_length = (l_length << 8) | in_l_data[l_value_position + l_i];
    l_value_position += l_count;
  }
  if (l_length > in_l_size - l_value_position) return false;
  *out_l_value_position = l_value_position;
  *out_l_length = static_cast<std::size_t>(l_length);
  return true;
}

bool Certificate::ValidateCapiResource() const {
  return m_cert_context_ != nullptr || m_prov_handle_.Get() != 0 || m_cng_key_.Get() != 0;
}

}  // namespace tavc
