// PKCS#12 files through CryptoAPI, their keys through CNG.
#include "platform/pkcs12_file.h"

#include <windows.h>
#include <wincrypt.h>
#include <ncrypt.h>

#include <memory>
#include <new>
#include <utility>

namespace tavc::platform {
namespace {

// Keys that never persist, always in a CNG key storage provider.
constexpr DWORD kImportFlags = PKCS12_NO_PERSIST_KEY | PKCS12_ALWAYS_CNG_KSP;
// Cache the key with the certificate; accept only a CNG key.
constexpr DWORD kAcquireFlags = CRYPT_ACQUIRE_CACHE_FLAG | CRYPT_ACQUIRE_ONLY_NCRYPT_KEY_FLAG;

struct StoreCloser {
  void operator()(HCERTSTORE in_l_store) const { CertCloseStore(in_l_store, 0); }
};
using CertStore = std::unique_ptr<void, StoreCloser>;

struct CertificateFreer {
  void operator()(PCCERT_CONTEXT in_l_certificate) const { CertFreeCertificateContext(in_l_certificate); }
};
using CertificateContext = std::unique_ptr<const CERT_CONTEXT, CertificateFreer>;

// The chosen certificate and its key, let go of together. A key cached with
// the certificate is freed with it; only a key handed to the caller is freed
// by NCryptFreeObject, before the certificate.
class ImportedKey {
 public:
  ImportedKey(CertificateContext in_l_certificate, NCRYPT_KEY_HANDLE in_l_key, BOOL in_l_caller_frees)
      : m_certificate_(std::move(in_l_certificate)), m_key_(in_l_key), m_caller_frees_(in_l_caller_frees) {}
  ~ImportedKey() {
    if (m_caller_frees_) NCryptFreeObject(m_key_);
  }
  ImportedKey(const ImportedKey&) = delete;
  ImportedKey& operator=(const ImportedKey&) = delete;

  PCCERT_CONTEXT Certificate() const { return m_certificate_.get(); }
  NCRYPT_KEY_HANDLE Key() const { return m_key_; }

 private:
  CertificateContext m_certificate_;
  NCRYPT_KEY_HANDLE m_key_;
  BOOL m_caller_frees_;
};

CRYPT_DATA_BLOB Blob(const std::vector<std::uint8_t>& in_l_file) {
  CRYPT_DATA_BLOB l_blob;
  l_blob.cbData = static_cast<DWORD>(in_l_file.size());
  l_blob.pbData = const_cast<BYTE*>(in_l_file.data());
  return l_blob;
}

class CngPkcs12File final : public Pkcs12File {
 public:
  bool IsPfxBlob(const std::vector<std::uint8_t>& in_l_file) override {
    CRYPT_DATA_BLOB l_blob = Blob(in_l_file);
    return !in_l_file.empty() && PFXIsPFXBlob(&l_blob);
  }

  bool VerifyPassword(const std::vector<std::uint8_t>& in_l_file, const std::wstring& in_l_password) override {
    CRYPT_DATA_BLOB l_blob = Blob(in_l_file);
    return PFXVerifyPassword(&l_blob, in_l_password.c_str(), 0);
  }

  Pkcs12ImportResult ImportFirstKeyed(const std::vector<std::uint8_t>& in_l_file, const std::wstring& in_l_password,
                                      std::vector<std::uint8_t>* out_l_certificate, KeyHandle* out_l_key,
                                      std::uint32_t* out_l_error) override {
    CRYPT_DATA_BLOB l_blob = Blob(in_l_file);
    const CertStore l_store(PFXImportCertStore(&l_blob, in_l_password.c_str(), kImportFlags));
    if (l_store == nullptr) {
      *out_l_error = GetLastError();
      return Pkcs12ImportResult::kImportFailed;
    }
    std::unique_ptr<ImportedKey> l_chosen;
    DWORD l_error = static_cast<DWORD>(NTE_NO_KEY);
    for (PCCERT_CONTEXT l_certificate = CertEnumCertificatesInStore(l_store.get(), nullptr); l_certificate != nullptr;
         l_certificate = CertEnumCertificatesInStore(l_store.get(), l_certificate)) {
      HCRYPTPROV_OR_NCRYPT_KEY_HANDLE l_key = 0;
      DWORD l_key_spec = 0;
      BOOL l_caller_frees = FALSE;
      if (!CryptAcquireCertificatePrivateKey(l_certificate, kAcquireFlags, nullptr, &l_key, &l_key_spec,
                                             &l_caller_frees)) {
        l_error = GetLastError();
        continue;
      }
      // Some implementations ignore the CNG-only flag and hand out a CryptoAPI
      // provider, which is no NCrypt key.
      if (l_key_spec != CERT_NCRYPT_KEY_SPEC) {
        if (l_caller_frees) CryptReleaseContext(l_key, 0);
        l_error = static_cast<DWORD>(NTE_BAD_KEY);
        continue;
      }
      // The enumerated context is taken over, so the enumeration ends here.
      CertificateContext l_owned(l_certificate);
      l_chosen.reset(new (std::nothrow) ImportedKey(std::move(l_owned), l_key, l_caller_frees));
      if (l_chosen == nullptr) {
        if (l_caller_frees) NCryptFreeObject(l_key);
        *out_l_error = ERROR_NOT_ENOUGH_MEMORY;
        return Pkcs12ImportResult::kNoKey;
      }
      break;
    }
    if (l_chosen == nullptr) {
      *out_l_error = l_error;
      return Pkcs12ImportResult::kNoKey;
    }
    const PCCERT_CONTEXT l_certificate = l_chosen->Certificate();
    out_l_certificate->assign(l_certificate->pbCertEncoded, l_certificate->pbCertEncoded + l_certificate->cbCertEncoded);
    *out_l_key = reinterpret_cast<KeyHandle>(l_chosen.release());
    return Pkcs12ImportResult::kOk;
  }

  bool AllowAllUsages(KeyHandle in_l_key, std::uint32_t* out_l_error) override {
    const auto* l_owner = reinterpret_cast<const ImportedKey*>(in_l_key);
    DWORD l_usage = NCRYPT_ALLOW_ALL_USAGES;
    const SECURITY_STATUS l_status = NCryptSetProperty(l_owner->Key(), NCRYPT_KEY_USAGE_PROPERTY,
                                                       reinterpret_cast<PBYTE>(&l_usage), sizeof(l_usage), 0);
    *out_l_error = static_cast<std::uint32_t>(l_status);
    return l_status == ERROR_SUCCESS;
  }

  bool SignSha256(KeyHandle in_l_key, const std::uint8_t* in_l_hash, std::uint8_t* out_l_data,
                  std::uint32_t* io_l_size, std::uint32_t* out_l_error) override {
    const auto* l_owner = reinterpret_cast<const ImportedKey*>(in_l_key);
    BCRYPT_PKCS1_PADDING_INFO l_padding{BCRYPT_SHA256_ALGORITHM};
    DWORD l_size = 0;
    const SECURITY_STATUS l_status =
        NCryptSignHash(l_owner->Key(), &l_padding, const_cast<PBYTE>(in_l_hash), 32, out_l_data,
                       out_l_data == nullptr ? 0 : *io_l_size, &l_size, BCRYPT_PAD_PKCS1);
    *out_l_error = static_cast<std::uint32_t>(l_status);
    if (l_status != ERROR_SUCCESS) return false;
    *io_l_size = l_size;
    return true;
  }

  void FreeKey(KeyHandle in_l_key) override { delete reinterpret_cast<ImportedKey*>(in_l_key); }
};

}  // namespace

Pkcs12File& SystemPkcs12File() {
  static CngPkcs12File s_file;
  return s_file;
}

}  // namespace tavc::platform
