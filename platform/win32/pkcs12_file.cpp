// PKCS#12 files through CryptoAPI, their keys through CNG.
#include "platform/pkcs12_file.h"

#include <windows.h>
#include <wincrypt.h>
#include <ncrypt.h>

#include <new>

namespace tavc::platform {
namespace {

// Keys that never persist, always in a CNG key storage provider.
constexpr DWORD kImportFlags = PKCS12_NO_PERSIST_KEY | PKCS12_ALWAYS_CNG_KSP;
// Cache the key with the certificate; accept only a CNG key.
constexpr DWORD kAcquireFlags = CRYPT_ACQUIRE_CACHE_FLAG | CRYPT_ACQUIRE_ONLY_NCRYPT_KEY_FLAG;

// The chosen certificate and its key. A key cached with the certificate is
// freed with it; only a key handed to the caller is freed by NCryptFreeObject.
struct ImportedKey {
  PCCERT_CONTEXT certificate = nullptr;
  NCRYPT_KEY_HANDLE key = 0;
  BOOL caller_frees = FALSE;
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
    HCERTSTORE l_store = PFXImportCertStore(&l_blob, in_l_password.c_str(), kImportFlags);
    if (l_store == nullptr) {
      *out_l_error = GetLastError();
      return Pkcs12ImportResult::kImportFailed;
    }
    ImportedKey l_chosen;
    DWORD l_error = static_cast<DWORD>(NTE_NO_KEY);
    for (PCCERT_CONTEXT l_certificate = CertEnumCertificatesInStore(l_store, nullptr); l_certificate != nullptr;
         l_certificate = CertEnumCertificatesInStore(l_store, l_certificate)) {
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
      l_chosen.certificate = CertDuplicateCertificateContext(l_certificate);
      l_chosen.key = l_key;
      l_chosen.caller_frees = l_caller_frees;
      CertFreeCertificateContext(l_certificate);
      break;
    }
    CertCloseStore(l_store, 0);
    if (l_chosen.certificate == nullptr) {
      *out_l_error = l_error;
      return Pkcs12ImportResult::kNoKey;
    }
    auto* l_owner = new (std::nothrow) ImportedKey(l_chosen);
    if (l_owner == nullptr) {
      Free(l_chosen);
      *out_l_error = ERROR_NOT_ENOUGH_MEMORY;
      return Pkcs12ImportResult::kNoKey;
    }
    out_l_certificate->assign(l_chosen.certificate->pbCertEncoded,
                              l_chosen.certificate->pbCertEncoded + l_chosen.certificate->cbCertEncoded);
    *out_l_key = reinterpret_cast<KeyHandle>(l_owner);
    return Pkcs12ImportResult::kOk;
  }

  bool AllowAllUsages(KeyHandle in_l_key, std::uint32_t* out_l_error) override {
    const auto* l_owner = reinterpret_cast<const ImportedKey*>(in_l_key);
    DWORD l_usage = NCRYPT_ALLOW_ALL_USAGES;
    const SECURITY_STATUS l_status = NCryptSetProperty(l_owner->key, NCRYPT_KEY_USAGE_PROPERTY,
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
        NCryptSignHash(l_owner->key, &l_padding, const_cast<PBYTE>(in_l_hash), 32, out_l_data,
                       out_l_data == nullptr ? 0 : *io_l_size, &l_size, BCRYPT_PAD_PKCS1);
    *out_l_error = static_cast<std::uint32_t>(l_status);
    if (l_status != ERROR_SUCCESS) return false;
    *io_l_size = l_size;
    return true;
  }

  void FreeKey(KeyHandle in_l_key) override {
    auto* l_owner = reinterpret_cast<ImportedKey*>(in_l_key);
    if (l_owner == nullptr) return;
    Free(*l_owner);
    delete l_owner;
  }

 private:
  static void Free(const ImportedKey& in_l_key) {
    if (in_l_key.caller_frees) NCryptFreeObject(in_l_key.key);
    CertFreeCertificateContext(in_l_key.certificate);
  }
};

}  // namespace

Pkcs12File& SystemPkcs12File() {
  static CngPkcs12File s_file;
  return s_file;
}

}  // namespace tavc::platform
