#pragma once
// Certificates (DER) and private keys a virtual card carries.
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/cardsim/card_key.h"

namespace tavc::cardsim {

struct CardCredential {
  std::vector<std::uint8_t> m_certificate_;
  std::shared_ptr<const CardKey> m_key_;
};

struct MyNumberCredentials {
  CardCredential m_auth_;                            // EF 000A + key EF 0017
  std::vector<std::uint8_t> m_auth_ca_certificate_;  // EF 000B
  CardCredential m_sign_;                            // EF 0001 + key EF 001A
  std::vector<std::uint8_t> m_sign_ca_certificate_;  // EF 0002
};

struct GpkiCredentials {
  CardCredential m_user_;                            // SFI 01 + key EF 0011
  std::vector<std::uint8_t> m_second_certificate_;   // SFI 02 (the CA certificate)
};

}  // namespace tavc::cardsim
