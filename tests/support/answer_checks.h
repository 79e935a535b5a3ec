#pragma once
// What a test checks of an answer as a page would: the request's digests made
// the way a page makes them, the fields of the answer text, and signatures
// verified with the certificate the card holds. A PKCS#1 v1.5 signature is
// unique for its key and digest, so one that verifies is byte for byte the
// one the Windows build gives.
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <cstdint>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "common/base64.h"
#include "common/utf_conversion.h"

namespace tavc::test {

inline std::vector<std::uint8_t> Sha256Of(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_hash(SHA256_DIGEST_LENGTH);
  SHA256(reinterpret_cast<const unsigned char*>(in_l_text.data()), in_l_text.size(), l_hash.data());
  return l_hash;
}

inline std::string Base64Text(const std::vector<std::uint8_t>& in_l_bytes) {
  return Utf16ToUtf8(EncodeBase64(in_l_bytes.data(), in_l_bytes.size()));
}

// The SHA-256 DigestInfo of a text, in Base64, as a page sends it.
inline std::string DigestInfoBase64(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_info = {0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                      0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};
  for (const std::uint8_t l_byte : Sha256Of(in_l_text)) l_info.push_back(l_byte);
  return Base64Text(l_info);
}

// True when the Base64 signature is the certificate key's PKCS#1 v1.5
// signature of the text's SHA-256.
inline bool SignatureOfTextVerifies(const std::vector<std::uint8_t>& in_l_certificate, const std::string& in_l_text,
                                    const std::string& in_l_signature) {
  std::vector<std::uint8_t> l_signature;
  if (!DecodeBase64(Utf8ToUtf16(in_l_signature), l_signature)) return false;
  const unsigned char* l_der = in_l_certificate.data();
  std::unique_ptr<X509, decltype(&X509_free)> l_x509(
      d2i_X509(nullptr, &l_der, static_cast<long>(in_l_certificate.size())), X509_free);
  EVP_PKEY* l_key = l_x509 ? X509_get0_pubkey(l_x509.get()) : nullptr;
  std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> l_context(
      l_key != nullptr ? EVP_PKEY_CTX_new(l_key, nullptr) : nullptr, EVP_PKEY_CTX_free);
  const std::vector<std::uint8_t> l_hash = Sha256Of(in_l_text);
  return l_context && EVP_PKEY_verify_init(l_context.get()) == 1 &&
         EVP_PKEY_CTX_set_rsa_padding(l_context.get(), RSA_PKCS1_PADDING) == 1 &&
         EVP_PKEY_CTX_set_signature_md(l_context.get(), EVP_sha256()) == 1 &&
         EVP_PKEY_verify(l_context.get(), l_signature.data(), l_signature.size(), l_hash.data(), l_hash.size()) == 1;
}

// The value of the answer's "name":"value" line; empty when there is none.
inline std::string AnswerField(const std::string& in_l_answer, const std::string& in_l_name) {
  std::smatch l_match;
  const std::regex l_line("\"" + in_l_name + "\":\"([^\"]*)\"");
  return std::regex_search(in_l_answer, l_match, l_line) ? l_match[1].str() : std::string();
}

// The log-in answer the Windows build writes, for this answer's installation
// identifier and signature.
inline std::string LogInAnswer(const std::string& in_l_answer, const std::vector<std::uint8_t>& in_l_certificate) {
  return "{\r\n  \"mode\":\"01\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"" + AnswerField(in_l_answer, "uuid") +
         "\",\r\n  \"signature\":\"" + AnswerField(in_l_answer, "signature") + "\",\r\n  \"certificate\":\"" +
         Base64Text(in_l_certificate) + "\"\r\n}";
}

}  // namespace tavc::test
