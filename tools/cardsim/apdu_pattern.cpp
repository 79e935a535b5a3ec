#include "tools/cardsim/apdu_pattern.h"

namespace tavc::cardsim {
namespace {

int HexValue(char in_l_char) {
  if (in_l_char >= '0' && in_l_char <= '9') return in_l_char - '0';
  if (in_l_char >= 'a' && in_l_char <= 'f') return in_l_char - 'a' + 10;
  if (in_l_char >= 'A' && in_l_char <= 'F') return in_l_char - 'A' + 10;
  return -1;
}

}  // namespace

int ApduPattern::Parse(const std::string& in_l_text, ApduPattern& out_l_pattern) {
  ApduPattern l_pattern;
  std::string l_compact;
  for (char l_char : in_l_text) {
    if (l_char != ' ') l_compact.push_back(l_char);
  }
  if (l_compact.empty() || l_compact.size() % 2 != 0) return 1;
  for (std::size_t l_i = 0; l_i < l_compact.size(); l_i += 2) {
    if (l_compact[l_i] == '?' && l_compact[l_i + 1] == '?') {
      l_pattern.m_bytes_.push_back(0);
      l_pattern.m_wildcard_.push_back(true);
      continue;
    }
    const int l_high = HexValue(l_compact[l_i]);
    const int l_low = HexValue(l_compact[l_i + 1]);
    if (l_high < 0 || l_low < 0) return 1;
    l_pattern.m_bytes_.push_back(static_cast<std::uint8_t>(l_high * 16 + l_low));
    l_pattern.m_wildcard_.push_back(false);
  }
  out_l_pattern = l_pattern;
  return 0;
}

ApduPattern ApduPattern::Instruction(std::uint8_t in_l_ins) {
  ApduPattern l_pattern;
  l_pattern.m_bytes_ = {0, in_l_ins};
  l_pattern.m_wildcard_ = {true, false};
  return l_pattern;
}

ApduPattern ApduPattern::Prefix(const std::vector<std::uint8_t>& in_l_bytes) {
  ApduPattern l_pattern;
  l_pattern.m_bytes_ = in_l_bytes;
  l_pattern.m_wildcard_.assign(in_l_bytes.size(), false);
  return l_pattern;
}

bool ApduPattern::Matches(const std::vector<std::uint8_t>& in_l_apdu) const {
  if (m_bytes_.empty() || in_l_apdu.size() < m_bytes_.size()) return false;
  for (std::size_t l_i = 0; l_i < m_bytes_.size(); ++l_i) {
    if (!m_wildcard_[l_i] && in_l_apdu[l_i] != m_bytes_[l_i]) return false;
  }
  return true;
}

}  // namespace tavc::cardsim
