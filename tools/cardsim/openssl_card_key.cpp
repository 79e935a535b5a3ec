#include "tools/cardsim/openssl_card_key.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdio>

namespace tavc::cardsim {

OpensslCardKey::OpensslCardKey(EVP_PKEY* in_l_key) : m_key_(in_l_key) {}

OpensslCardKey::~OpensslCardKey() { EVP_PKEY_free(m_key_); }

std::size_t OpensslCardKey::ModulusSize() const {
  const int l_size = EVP_PKEY_get_size(m_key_);
  return l_size > 0 ? static_cast<std::size_t>(l_size) : 0;
}

int OpensslCardKey::SignPkcs1(const std::vector<std::uint8_t>& in_l_input,
                              std::vector<std::uint8_t>& out_l_signature) const {
  out_l_signature.clear();
  EVP_PKEY_CTX* l_context = EVP_PKEY_CTX_new(m_key_, nullptr);
  if (l_context == nullptr) return 1;
  int l_result = 1;
  std::size_t l_length = 0;
  // No digest is set: the input is padded as it is, as the card does with the
  // DigestInfo a host sends.
  if (EVP_PKEY_sign_init(l_context) == 1 &&
      EVP_PKEY_CTX_set_rsa_padding(l_context, RSA_PKCS1_PADDING) == 1 &&
      EVP_PKEY_sign(l_context, nullptr, &l_length, in_l_input.data(), in_l_input.size()) == 1) {
    out_l_signature.resize(l_length);
    if (EVP_PKEY_sign(l_context, out_l_signature.data(), &l_length, in_l_input.data(),
                      in_l_input.size()) == 1) {
      out_l_signature.resize(l_length);
      l_result = 0;
    } else {
      out_l_signature.clear();
    }
  }
  EVP_PKEY_CTX_free(l_context);
  return l_result;
}

std::shared_ptr<OpensslCardKey> OpensslCardKey::Generate(int in_l_bits) {
  EVP_PKEY_CTX* l_context = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
  if (l_context == nullptr) return nullptr;
  EVP_PKEY* l_key = nullptr;
  if (EVP_PKEY_keygen_init(l_context) != 1 ||
      EVP_PKEY_CTX_set_rsa_keygen_bits(l_context, in_l_bits) != 1 ||
      EVP_PKEY_generate(l_context, &l_key) != 1) {
    l_key = nullptr;
  }
  EVP_PKEY_CTX_free(l_context);
  if (l_key == nullptr) return nullptr;
  return std::make_shared<OpensslCardKey>(l_key);
}

std::shared_ptr<OpensslCardKey> OpensslCardKey::LoadFile(const std::string& in_l_path) {
  BIO* l_bio = BIO_new_file(in_l_path.c_str(), "rb");
  if (l_bio == nullptr) return nullptr;
  EVP_PKEY* l_key = PEM_read_bio_PrivateKey(l_bio, nullptr, nullptr, nullptr);
  if (l_key == nullptr) {
    BIO_reset(l_bio);
    l_key = d2i_PrivateKey_bio(l_bio, nullptr);
  }
  BIO_free(l_bio);
  if (l_key == nullptr) return nullptr;
  if (EVP_PKEY_get_base_id(l_key) != EVP_PKEY_RSA) {
    EVP_PKEY_free(l_key);
    return nullptr;
  }
  return std::make_shared<OpensslCardKey>(l_key);
}

int OpensslCardKey::SavePem(const std::string& in_l_path) const {
  BIO* l_bio = BIO_new_file(in_l_path.c_str(), "wb");
  if (l_bio == nullptr) return 1;
  const int l_written =
      PEM_write_bio_PrivateKey(l_bio, m_key_, nullptr, nullptr, 0, nullptr, nullptr);
  BIO_free(l_bio);
  return l_written == 1 ? 0 : 1;
}

}  // namespace tavc::cardsim
