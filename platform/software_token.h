#pragma once
// The provider of systems without CryptoAPI: tokens keyed by provider name, each
// holding an RSA key (as signature key, exchange key, or both) and its
// certificate, signing through OpenSSL. Every step can be made to fail, and
// open handles are counted, so the callers' failure paths and releases are
// testable.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/crypto_provider.h"

typedef struct evp_pkey_st EVP_PKEY;

namespace tavc::platform {

class SoftwareToken final : public CryptoProvider {
 public:
  enum class Step { kAcquire, kUserKey, kCertificateSize, kCertificateData, kCreateHash, kSetHash, kSignSize, kSignData };

  struct Token {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> private_key_der;  // PKCS#8 or traditional RSA DER
    std::vector<std::uint8_t> certificate_der;
    bool has_signature_key = true;
    bool has_exchange_key = false;
  };

  SoftwareToken();
  ~SoftwareToken() override;

  void AddToken(const std::wstring& in_l_name, Token in_l_token);
  // The in_l_nth call (from 1) of in_l_step, counted from now, fails with in_l_error.
  void FailAt(Step in_l_step, std::uint32_t in_l_error, int in_l_nth = 1);
  // Forgets every token, failure and counter.
  void Reset();
  // Handles acquired and not yet released or destroyed.
  int OpenHandles() const;
  // Provider names asked for, in order.
  std::vector<std::wstring> AcquiredNames() const;

  bool AcquireContext(const std::wstring& in_l_name, std::uint32_t in_l_type, Handle* out_l_provider,
                      std::uint32_t* out_l_error) override;
  bool GetUserKey(Handle in_l_provider, std::uint32_t in_l_key_spec, Handle* out_l_key,
                  std::uint32_t* out_l_error) override;
  bool GetKeyCertificate(Handle in_l_key, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
                         std::uint32_t* out_l_error) override;
  bool CreateSha256Hash(Handle in_l_provider, Handle* out_l_hash, std::uint32_t* out_l_error) override;
  bool SetHashValue(Handle in_l_hash, const std::uint8_t* in_l_value, std::uint32_t* out_l_error) override;
  bool SignHash(Handle in_l_hash, std::uint32_t in_l_key_spec, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
                std::uint32_t* out_l_error) override;
  void DestroyKey(Handle in_l_key) override;
  void DestroyHash(Handle in_l_hash) override;
  void ReleaseContext(Handle in_l_provider) override;

 private:
  struct Object {
    std::wstring token;      // the token it belongs to
    std::uint32_t kind = 0;  // 0 provider, 1 key, 2 hash
    std::vector<std::uint8_t> hash_value;
  };
  bool Fails(Step in_l_step, std::uint32_t* out_l_error);
  Handle NewObject(Object in_l_object);
  Object* Find(Handle in_l_handle, std::uint32_t in_l_kind);
  void Drop(Handle in_l_handle, std::uint32_t in_l_kind);

  mutable std::mutex m_mutex_;
  std::map<std::wstring, Token> m_tokens_;
  std::map<std::wstring, std::shared_ptr<EVP_PKEY>> m_keys_;  // parsed once per token
  std::map<Handle, Object> m_objects_;
  std::map<Step, std::pair<int, std::uint32_t>> m_failures_;
  std::vector<std::wstring> m_acquired_names_;
  Handle m_next_handle_ = 1;
};

// The process's token set, which SystemCryptoProvider answers from.
SoftwareToken& SystemSoftwareToken();

}  // namespace tavc::platform
