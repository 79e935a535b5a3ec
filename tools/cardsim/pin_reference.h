#pragma once
// A PIN stored on a virtual card: its value, retry counter and whether it has
// been verified since the last power cycle.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/cardsim/status_word.h"

namespace tavc::cardsim {

// What CHANGE REFERENCE DATA accepts as a new value.
enum class PinFormat {
  kFourDigits,        // JPKI user authentication, card-surface input support
  kUpperAlnum6To16,   // JPKI signature password
  kPrintable6To16,    // GPKI user password
};

class PinReference {
 public:
  PinReference(const std::string& in_l_value, unsigned in_l_max_tries, unsigned in_l_tries_left,
               PinFormat in_l_format);
  ~PinReference();
  PinReference(const PinReference& in_l_other);
  PinReference& operator=(const PinReference& in_l_other);

  // VERIFY with a candidate: 90 00, 63 Cx (x tries left) or 69 84 once blocked.
  StatusWord Verify(const std::vector<std::uint8_t>& in_l_candidate);
  // VERIFY without data: 90 00 when verified, else 63 Cx or 69 84; spends no try.
  StatusWord Probe() const;
  // CHANGE REFERENCE DATA with the new value only; needs a prior VERIFY.
  StatusWord Change(const std::vector<std::uint8_t>& in_l_new_value);

  bool IsVerified() const { return m_verified_; }
  unsigned TriesLeft() const { return m_tries_left_; }
  void Forget() { m_verified_ = false; }

 private:
  bool Accepts(const std::vector<std::uint8_t>& in_l_value) const;

  std::vector<std::uint8_t> m_value_;
  unsigned m_max_tries_;
  unsigned m_tries_left_;
  PinFormat m_format_;
  bool m_verified_ = false;
};

}  // namespace tavc::cardsim
