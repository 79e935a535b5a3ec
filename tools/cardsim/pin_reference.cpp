#include "tools/cardsim/pin_reference.h"

#include "common/secure_wipe.h"

namespace tavc::cardsim {

PinReference::PinReference(const std::string& in_l_value, unsigned in_l_max_tries,
                           unsigned in_l_tries_left, PinFormat in_l_format)
    : m_value_(in_l_value.begin(), in_l_value.end()),
      m_max_tries_(in_l_max_tries == 0 ? 1 : in_l_max_tries),
      m_tries_left_(in_l_tries_left > m_max_tries_ ? m_max_tries_ : in_l_tries_left),
      m_format_(in_l_format) {}

PinReference::~PinReference() { SecureWipe(m_value_); }

PinReference::PinReference(const PinReference& in_l_other)
    : m_value_(in_l_other.m_value_),
      m_max_tries_(in_l_other.m_max_tries_),
      m_tries_left_(in_l_other.m_tries_left_),
      m_format_(in_l_other.m_format_),
      m_verified_(in_l_other.m_verified_) {}

PinReference& PinReference::operator=(const PinReference& in_l_other) {
  if (this != &in_l_other) {
    SecureWipe(m_value_);
    m_value_ = in_l_other.m_value_;
    m_max_tries_ = in_l_other.m_max_tries_;
    m_tries_left_ = in_l_other.m_tries_left_;
    m_format_ = in_l_other.m_format_;
    m_verified_ = in_l_other.m_verified_;
  }
  return *this;
}

StatusWord PinReference::Verify(const std::vector<std::uint8_t>& in_l_candidate) {
  if (m_tries_left_ == 0) return kSwPinBlocked;
  // Compare every byte so that the time taken does not tell where they differ.
  std::uint8_t l_difference = in_l_candidate.size() == m_value_.size() ? 0 : 1;
  for (std::size_t l_i = 0; l_i < in_l_candidate.size() && l_i < m_value_.size(); ++l_i) {
    l_difference = static_cast<std::uint8_t>(l_difference | (in_l_candidate[l_i] ^ m_value_[l_i]));
  }
  if (l_difference == 0) {
    m_tries_left_ = m_max_tries_;
    m_verified_ = true;
    return kSwSuccess;
  }
  --m_tries_left_;
  m_verified_ = false;
  return TriesLeftStatus(m_tries_left_);
}

StatusWord PinReference::Probe() const {
  if (m_tries_left_ == 0) return kSwPinBlocked;
  if (m_verified_) return kSwSuccess;
  return TriesLeftStatus(m_tries_left_);
}

StatusWord PinReference::Change(const std::vector<std::uint8_t>& in_l_new_value) {
  if (m_tries_left_ == 0) return kSwPinBlocked;
  if (!m_verified_) return kSwSecurityNotSatisfied;
  if (!Accepts(in_l_new_value)) return kSwWrongData;
  SecureWipe(m_value_);
  m_value_ = in_l_new_value;
  return kSwSuccess;
}

bool PinReference::Accepts(const std::vector<std::uint8_t>& in_l_value) const {
  const std::size_t l_size = in_l_value.size();
  for (std::uint8_t l_byte : in_l_value) {
    const bool l_digit = l_byte >= '0' && l_byte <= '9';
    const bool l_upper = l_byte >= 'A' && l_byte <= 'Z';
    switch (m_format_) {
      case PinFormat::kFourDigits:
        if (!l_digit) return false;
        break;
      case PinFormat::kUpperAlnum6To16:
        if (!l_digit && !l_upper) return false;
        break;
      case PinFormat::kPrintable6To16:
        if (l_byte < 0x21 || l_byte > 0x7E) return false;
        break;
    }
  }
  if (m_format_ == PinFormat::kFourDigits) return l_size == 4;
  return l_size >= 6 && l_size <= 16;
}

}  // namespace tavc::cardsim
