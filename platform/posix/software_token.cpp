#include "platform/software_token.h"

#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <algorithm>
#include <memory>

namespace tavc::platform {
namespace {

// The Windows error numbers the same situations give there.
constexpr std::uint32_t kKeysetNotDefined = 0x80090019;
constexpr std::uint32_t kProviderTypeMismatch = 0x8009001B;
constexpr std::uint32_t kNoKey = 0x8009000D;
constexpr std::uint32_t kBadHash = 0x80090002;
constexpr std::uint32_t kBadUid = 0x80090001;
constexpr std::uint32_t kMoreData = 234;
constexpr std::uint32_t kKindProvider = 0;
constexpr std::uint32_t kKindKey = 1;
constexpr std::uint32_t kKindHash = 2;

struct PkeyFree {
  void operator()(EVP_PKEY* in_l_key) const { EVP_PKEY_free(in_l_key); }
};
struct PkeyCtxFree {
  void operator()(EVP_PKEY_CTX* in_l_context) const { EVP_PKEY_CTX_free(in_l_context); }
};

// Copies in_l_bytes out the CryptoAPI way: size only for a null buffer,
// ERROR_MORE_DATA for a short one.
bool CopyOut(const std::vector<std::uint8_t>& in_l_bytes, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
             std::uint32_t* out_l_error) {
  const auto l_needed = static_cast<std::uint32_t>(in_l_bytes.size());
  if (out_l_data != nullptr && *io_l_size < l_needed) {
    *io_l_size = l_needed;
    *out_l_error = kMoreData;
    return false;
  }
  if (out_l_data != nullptr) std::copy(in_l_bytes.begin(), in_l_bytes.end(), out_l_data);
  *io_l_size = l_needed;
  return true;
}

bool RsaSign(EVP_PKEY* in_l_key, const std::vector<std::uint8_t>& in_l_hash,
             std::vector<std::uint8_t>* out_l_signature) {
  if (in_l_key == nullptr) return false;
  std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> l_context(EVP_PKEY_CTX_new(in_l_key, nullptr));
  std::size_t l_size = 0;
  if (!l_context || EVP_PKEY_sign_init(l_context.get()) != 1 ||
      EVP_PKEY_CTX_set_rsa_padding(l_context.get(), RSA_PKCS1_PADDING) != 1 ||
      EVP_PKEY_CTX_set_signature_md(l_context.get(), EVP_sha256()) != 1 ||
      EVP_PKEY_sign(l_context.get(), nullptr, &l_size, in_l_hash.data(), in_l_hash.size()) != 1) {
    return false;
  }
  out_l_signature->resize(l_size);
  if (EVP_PKEY_sign(l_context.get(), out_l_signature->data(), &l_size, in_l_hash.data(), in_l_hash.size()) != 1) {
    return false;
  }
  out_l_signature->resize(l_size);
  return true;
}

}  // namespace

SoftwareToken::SoftwareToken() = default;
SoftwareToken::~SoftwareToken() = default;

void SoftwareToken::AddToken(const std::wstring& in_l_name, Token in_l_token) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  const unsigned char* l_cursor = in_l_token.private_key_der.data();
  m_keys_[in_l_name] = std::shared_ptr<EVP_PKEY>(
      d2i_AutoPrivateKey(nullptr, &l_cursor, static_cast<long>(in_l_token.private_key_der.size())), PkeyFree());
  m_tokens_[in_l_name] = std::move(in_l_token);
}

void SoftwareToken::FailAt(Step in_l_step, std::uint32_t in_l_error, int in_l_nth) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  m_failures_[in_l_step] = {in_l_nth, in_l_error};
}

void SoftwareToken::Reset() {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  m_tokens_.clear();
  m_keys_.clear();
  m_objects_.clear();
  m_failures_.clear();
  m_acquired_names_.clear();
}

int SoftwareToken::OpenHandles() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return static_cast<int>(m_objects_.size());
}

std::vector<std::wstring> SoftwareToken::AcquiredNames() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return m_acquired_names_;
}

bool SoftwareToken::Fails(Step in_l_step, std::uint32_t* out_l_error) {
  const auto l_found = m_failures_.find(in_l_step);
  if (l_found == m_failures_.end()) return false;
  if (--l_found->second.first != 0) return false;
  *out_l_error = l_found->second.second;
  m_failures_.erase(l_found);
  return true;
}

SoftwareToken::Handle SoftwareToken::NewObject(Object in_l_object) {
  const Handle l_handle = m_next_handle_++;
  m_objects_[l_handle] = std::move(in_l_object);
  return l_handle;
}

SoftwareToken::Object* SoftwareToken::Find(Handle in_l_handle, std::uint32_t in_l_kind) {
  const auto l_found = m_objects_.find(in_l_handle);
  if (l_found == m_objects_.end() || l_found->second.kind != in_l_kind) return nullptr;
  return &l_found->second;
}

void SoftwareToken::Drop(Handle in_l_handle, std::uint32_t in_l_kind) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Find(in_l_handle, in_l_kind) != nullptr) m_objects_.erase(in_l_handle);
}

bool SoftwareToken::AcquireContext(const std::wstring& in_l_name, std::uint32_t in_l_type, Handle* out_l_provider,
                                   std::uint32_t* out_l_error) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  m_acquired_names_.push_back(in_l_name);
  if (Fails(Step::kAcquire, out_l_error)) return false;
  const auto l_token = m_tokens_.find(in_l_name);
  if (l_token == m_tokens_.end()) {
    *out_l_error = kKeysetNotDefined;
    return false;
  }
  if (l_token->second.type != in_l_type) {
    *out_l_error = kProviderTypeMismatch;
    return false;
  }
  *out_l_provider = NewObject(Object{in_l_name, kKindProvider, {}});
  return true;
}

bool SoftwareToken::GetUserKey(Handle in_l_provider, std::uint32_t in_l_key_spec, Handle* out_l_key,
                               std::uint32_t* out_l_error) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Fails(Step::kUserKey, out_l_error)) return false;
  const Object* l_provider = Find(in_l_provider, kKindProvider);
  if (l_provider == nullptr) {
    *out_l_error = kBadUid;
    return false;
  }
  const Token& l_token = m_tokens_.at(l_provider->token);
  const bool l_present = (in_l_key_spec == 2 && l_token.has_signature_key) ||
                         (in_l_key_spec == 1 && l_token.has_exchange_key);
  if (!l_present) {
    *out_l_error = kNoKey;
    return false;
  }
  *out_l_key = NewObject(Object{l_provider->token, kKindKey, {}});
  return true;
}

bool SoftwareToken::GetKeyCertificate(Handle in_l_key, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
                                      std::uint32_t* out_l_error) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Fails(out_l_data == nullptr ? Step::kCertificateSize : Step::kCertificateData, out_l_error)) return false;
  const Object* l_key = Find(in_l_key, kKindKey);
  if (l_key == nullptr) {
    *out_l_error = kBadUid;
    return false;
  }
  return CopyOut(m_tokens_.at(l_key->token).certificate_der, out_l_data, io_l_size, out_l_error);
}

bool SoftwareToken::CreateSha256Hash(Handle in_l_provider, Handle* out_l_hash, std::uint32_t* out_l_error) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Fails(Step::kCreateHash, out_l_error)) return false;
  const Object* l_provider = Find(in_l_provider, kKindProvider);
  if (l_provider == nullptr) {
    *out_l_error = kBadUid;
    return false;
  }
  *out_l_hash = NewObject(Object{l_provider->token, kKindHash, {}});
  return true;
}

bool SoftwareToken::SetHashValue(Handle in_l_hash, const std::uint8_t* in_l_value, std::uint32_t* out_l_error) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Fails(Step::kSetHash, out_l_error)) return false;
  Object* l_hash = Find(in_l_hash, kKindHash);
  if (l_hash == nullptr) {
    *out_l_error = kBadHash;
    return false;
  }
  l_hash->hash_value.assign(in_l_value, in_l_value + 32);
  return true;
}

bool SoftwareToken::SignHash(Handle in_l_hash, std::uint32_t in_l_key_spec, std::uint8_t* out_l_data,
                             std::uint32_t* io_l_size, std::uint32_t* out_l_error) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Fails(out_l_data == nullptr ? Step::kSignSize : Step::kSignData, out_l_error)) return false;
  const Object* l_hash = Find(in_l_hash, kKindHash);
  if (l_hash == nullptr || l_hash->hash_value.empty()) {
    *out_l_error = kBadHash;
    return false;
  }
  const Token& l_token = m_tokens_.at(l_hash->token);
  if ((in_l_key_spec == 2 && !l_token.has_signature_key) || (in_l_key_spec == 1 && !l_token.has_exchange_key)) {
    *out_l_error = kNoKey;
    return false;
  }
  EVP_PKEY* l_key = m_keys_.at(l_hash->token).get();
  if (out_l_data == nullptr && l_key != nullptr) {
    // The size query answers the key's size without signing.
    *io_l_size = static_cast<std::uint32_t>(EVP_PKEY_get_size(l_key));
    return true;
  }
  std::vector<std::uint8_t> l_signature;
  if (!RsaSign(l_key, l_hash->hash_value, &l_signature)) {
    *out_l_error = kNoKey;
    return false;
  }
  // CryptoAPI hands signatures out least significant byte first.
  std::reverse(l_signature.begin(), l_signature.end());
  return CopyOut(l_signature, out_l_data, io_l_size, out_l_error);
}

void SoftwareToken::DestroyKey(Handle in_l_key) { Drop(in_l_key, kKindKey); }
void SoftwareToken::DestroyHash(Handle in_l_hash) { Drop(in_l_hash, kKindHash); }
void SoftwareToken::ReleaseContext(Handle in_l_provider) { Drop(in_l_provider, kKindProvider); }

SoftwareToken& SystemSoftwareToken() {
  static SoftwareToken s_token;
  return s_token;
}

CryptoProvider& SystemCryptoProvider() { return SystemSoftwareToken(); }

}  // namespace tavc::platform
