#pragma once
// An RSA private key held in OpenSSL, signing as the cards do.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/cardsim/card_key.h"

typedef struct evp_pkey_st EVP_PKEY;

namespace tavc::cardsim {

class OpensslCardKey : public CardKey {
 public:
  // Takes ownership of in_l_key.
  explicit OpensslCardKey(EVP_PKEY* in_l_key);
  ~OpensslCardKey() override;
  OpensslCardKey(const OpensslCardKey&) = delete;
  OpensslCardKey& operator=(const OpensslCardKey&) = delete;

  std::size_t ModulusSize() const override;
  int SignPkcs1(const std::vector<std::uint8_t>& in_l_input,
                std::vector<std::uint8_t>& out_l_signature) const override;

  EVP_PKEY* Handle() const { return m_key_; }

  // A new RSA key with e = 65537; null on failure.
  static std::shared_ptr<OpensslCardKey> Generate(int in_l_bits);
  // A private key from a PEM or DER file; null when it cannot be read.
  static std::shared_ptr<OpensslCardKey> LoadFile(const std::string& in_l_path);
  // Writes the key as unencrypted PKCS#8 PEM. 0 success, 1 failure.
  int SavePem(const std::string& in_l_path) const;

 private:
  EVP_PKEY* m_key_;
};

}  // namespace tavc::cardsim
