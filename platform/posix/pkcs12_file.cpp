// PKCS#12 files through OpenSSL's libcrypto.
#include "platform/pkcs12_file.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <memory>

#include "common/secure_wipe.h"
#include "common/utf_conversion.h"

namespace tavc::platform {
namespace {

struct Pkcs12Free {
  void operator()(PKCS12* in_l_file) const { PKCS12_free(in_l_file); }
};
using Pkcs12Ptr = std::unique_ptr<PKCS12, Pkcs12Free>;

Pkcs12Ptr Decode(const std::vector<std::uint8_t>& in_l_file) {
  const unsigned char* l_cursor = in_l_file.data();
  return Pkcs12Ptr(d2i_PKCS12(nullptr, &l_cursor, static_cast<long>(in_l_file.size())));
}

// Files from older tools encrypt with RC2 or 3DES, which OpenSSL keeps in its
// legacy provider. Loaded once and unloaded at exit, before OpenSSL's own
// clean-up (which registered itself earlier).
class LegacyCiphers {
 public:
  LegacyCiphers() : m_legacy_(OSSL_PROVIDER_load(nullptr, "legacy")), m_default_(OSSL_PROVIDER_load(nullptr, "default")) {}
  ~LegacyCiphers() {
    if (m_legacy_ != nullptr) OSSL_PROVIDER_unload(m_legacy_);
    if (m_default_ != nullptr) OSSL_PROVIDER_unload(m_default_);
  }
  LegacyCiphers(const LegacyCiphers&) = delete;
  LegacyCiphers& operator=(const LegacyCiphers&) = delete;

 private:
  OSSL_PROVIDER* m_legacy_;
  OSSL_PROVIDER* m_default_;
};

void LoadLegacyCiphers() { static const LegacyCiphers s_ciphers; }

std::uint32_t LastError() {
  const unsigned long l_error = ERR_get_error();
  ERR_clear_error();
  return static_cast<std::uint32_t>(l_error);
}

class OpenSslPkcs12File final : public Pkcs12File {
 public:
  bool IsPfxBlob(const std::vector<std::uint8_t>& in_l_file) override {
    const bool l_ok = !in_l_file.empty() && Decode(in_l_file) != nullptr;
    ERR_clear_error();
    return l_ok;
  }

  bool VerifyPassword(const std::vector<std::uint8_t>& in_l_file, const std::wstring& in_l_password) override {
    const Pkcs12Ptr l_file = Decode(in_l_file);
    if (!l_file) return false;
    std::string l_password = Utf16ToUtf8(in_l_password);
    const ScopedWipe<std::string> l_wipe(l_password);
    const bool l_ok = PKCS12_verify_mac(l_file.get(), l_password.c_str(), static_cast<int>(l_password.size())) == 1;
    ERR_clear_error();
    return l_ok;
  }

  Pkcs12ImportResult ImportFirstKeyed(const std::vector<std::uint8_t>& in_l_file, const std::wstring& in_l_password,
                                      std::vector<std::uint8_t>* out_l_certificate, KeyHandle* out_l_key,
                                      std::uint32_t* out_l_error) override {
    LoadLegacyCiphers();
    const Pkcs12Ptr l_file = Decode(in_l_file);
    if (!l_file) {
      *out_l_error = LastError();
      return Pkcs12ImportResult::kImportFailed;
    }
    std::string l_password = Utf16ToUtf8(in_l_password);
    const ScopedWipe<std::string> l_wipe(l_password);
    EVP_PKEY* l_key = nullptr;
    X509* l_certificate = nullptr;
    STACK_OF(X509)* l_others = nullptr;
    if (PKCS12_parse(l_file.get(), l_password.c_str(), &l_key, &l_certificate, &l_others) != 1) {
      *out_l_error = LastError();
      return Pkcs12ImportResult::kImportFailed;
    }
    sk_X509_pop_free(l_others, X509_free);
    // OpenSSL pairs the key with its own certificate, whatever their order.
    unsigned char* l_der = nullptr;
    const int l_size = l_certificate != nullptr ? i2d_X509(l_certificate, &l_der) : -1;
    X509_free(l_certificate);
    if (l_key == nullptr || l_size <= 0) {
      OPENSSL_free(l_der);
      EVP_PKEY_free(l_key);
      *out_l_error = LastError();
      return Pkcs12ImportResult::kNoKey;
    }
    out_l_certificate->assign(l_der, l_der + l_size);
    OPENSSL_free(l_der);
    *out_l_key = reinterpret_cast<KeyHandle>(l_key);
    return Pkcs12ImportResult::kOk;
  }

  bool AllowAllUsages(KeyHandle in_l_key, std::uint32_t* out_l_error) override {
    *out_l_error = 0;
    return in_l_key != 0;
  }

  bool SignSha256(KeyHandle in_l_key, const std::uint8_t* in_l_hash, std::uint8_t* out_l_data,
                  std::uint32_t* io_l_size, std::uint32_t* out_l_error) override {
    auto* l_key = reinterpret_cast<EVP_PKEY*>(in_l_key);
    if (out_l_data == nullptr && l_key != nullptr) {
      // The size query answers the key's size without signing.
      *io_l_size = static_cast<std::uint32_t>(EVP_PKEY_get_size(l_key));
      return true;
    }
    EVP_PKEY_CTX* l_context = l_key != nullptr ? EVP_PKEY_CTX_new(l_key, nullptr) : nullptr;
    std::size_t l_size = out_l_data == nullptr ? 0 : *io_l_size;
    const bool l_ok = l_context != nullptr && EVP_PKEY_sign_init(l_context) == 1 &&
                      EVP_PKEY_CTX_set_rsa_padding(l_context, RSA_PKCS1_PADDING) == 1 &&
                      EVP_PKEY_CTX_set_signature_md(l_context, EVP_sha256()) == 1 &&
                      EVP_PKEY_sign(l_context, out_l_data, &l_size, in_l_hash, 32) == 1;
    EVP_PKEY_CTX_free(l_context);
    if (!l_ok) {
      *out_l_error = LastError();
      return false;
    }
    *io_l_size = static_cast<std::uint32_t>(l_size);
    return true;
  }

  void FreeKey(KeyHandle in_l_key) override { EVP_PKEY_free(reinterpret_cast<EVP_PKEY*>(in_l_key)); }
};

}  // namespace

Pkcs12File& SystemPkcs12File() {
  static OpenSslPkcs12File s_file;
  return s_file;
}

}  // namespace tavc::platform
