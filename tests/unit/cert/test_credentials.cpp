#include "tests/unit/cert/test_credentials.h"

#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "common/hex_codec.h"
#include "common/utf_conversion.h"

namespace tavc::test {

const std::string& CredentialsDir() {
  static const std::string s_dir = [] {
    const std::string l_dir = TAV_CREDENTIALS_DIR;
    const std::string l_command = std::string("bash '") + TAV_CREDENTIALS_SCRIPT + "' '" + l_dir + "'";
    if (std::system(l_command.c_str()) != 0) std::abort();
    return l_dir;
  }();
  return s_dir;
}

std::vector<std::uint8_t> CredentialBytes(const std::string& in_l_name) {
  std::ifstream l_file(CredentialsDir() + "/" + in_l_name, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(l_file), std::istreambuf_iterator<char>());
}

std::wstring CredentialPath(const std::string& in_l_name) {
  return Utf8ToUtf16(CredentialsDir() + "/" + in_l_name);
}

bool VerifiesWith(const std::vector<std::uint8_t>& in_l_certificate, const std::vector<std::uint8_t>& in_l_hash,
                  const std::vector<std::uint8_t>& in_l_signature) {
  const unsigned char* l_cursor = in_l_certificate.data();
  X509* l_x509 = d2i_X509(nullptr, &l_cursor, static_cast<long>(in_l_certificate.size()));
  if (l_x509 == nullptr) return false;
  EVP_PKEY* l_key = X509_get_pubkey(l_x509);
  EVP_PKEY_CTX* l_context = EVP_PKEY_CTX_new(l_key, nullptr);
  const bool l_ok = l_context != nullptr && EVP_PKEY_verify_init(l_context) == 1 &&
                    EVP_PKEY_CTX_set_rsa_padding(l_context, RSA_PKCS1_PADDING) == 1 &&
                    EVP_PKEY_CTX_set_signature_md(l_context, EVP_sha256()) == 1 &&
                    EVP_PKEY_verify(l_context, in_l_signature.data(), in_l_signature.size(), in_l_hash.data(),
                                    in_l_hash.size()) == 1;
  EVP_PKEY_CTX_free(l_context);
  EVP_PKEY_free(l_key);
  X509_free(l_x509);
  return l_ok;
}

std::vector<std::uint8_t> HashBytes(int in_l_seed) {
  std::vector<std::uint8_t> l_hash(32);
  for (std::size_t l_i = 0; l_i < l_hash.size(); ++l_i) l_hash[l_i] = static_cast<std::uint8_t>(static_cast<std::size_t>(in_l_seed) * 31 + l_i);
  return l_hash;
}

std::wstring HashHex(int in_l_seed) {
  const std::vector<std::uint8_t> l_hash = HashBytes(in_l_seed);
  return BytesToHex(l_hash.data(), l_hash.size(), HexCase::kLower);
}

}  // namespace tavc::test
