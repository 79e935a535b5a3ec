// The card vendors' providers through CryptoAPI.
#include "platform/crypto_provider.h"

#include <windows.h>
#include <wincrypt.h>

namespace tavc::platform {
namespace {

bool Failed(std::uint32_t* out_l_error) {
  *out_l_error = GetLastError();
  return false;
}

class CapiProvider final : public CryptoProvider {
 public:
  bool AcquireContext(const std::wstring& in_l_name, std::uint32_t in_l_type, Handle* out_l_provider,
                      std::uint32_t* out_l_error) override {
    HCRYPTPROV l_provider = 0;
    // No container name: the default container of the inserted card.
    if (!CryptAcquireContextW(&l_provider, nullptr, in_l_name.c_str(), in_l_type, 0)) return Failed(out_l_error);
    *out_l_provider = l_provider;
    return true;
  }

  bool GetUserKey(Handle in_l_provider, std::uint32_t in_l_key_spec, Handle* out_l_key,
                  std::uint32_t* out_l_error) override {
    HCRYPTKEY l_key = 0;
    if (!CryptGetUserKey(in_l_provider, in_l_key_spec, &l_key)) return Failed(out_l_error);
    *out_l_key = l_key;
    return true;
  }

  bool GetKeyCertificate(Handle in_l_key, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
                         std::uint32_t* out_l_error) override {
    DWORD l_size = *io_l_size;
    if (!CryptGetKeyParam(in_l_key, KP_CERTIFICATE, out_l_data, &l_size, 0)) return Failed(out_l_error);
    *io_l_size = l_size;
    return true;
  }

  bool CreateSha256Hash(Handle in_l_provider, Handle* out_l_hash, std::uint32_t* out_l_error) override {
    HCRYPTHASH l_hash = 0;
    if (!CryptCreateHash(in_l_provider, CALG_SHA_256, 0, 0, &l_hash)) return Failed(out_l_error);
    *out_l_hash = l_hash;
    return true;
  }

  bool SetHashValue(Handle in_l_hash, const std::uint8_t* in_l_value, std::uint32_t* out_l_error) override {
    if (!CryptSetHashParam(in_l_hash, HP_HASHVAL, in_l_value, 0)) return Failed(out_l_error);
    return true;
  }

  bool SignHash(Handle in_l_hash, std::uint32_t in_l_key_spec, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
                std::uint32_t* out_l_error) override {
    DWORD l_size = *io_l_size;
    if (!CryptSignHashW(in_l_hash, in_l_key_spec, nullptr, 0, out_l_data, &l_size)) return Failed(out_l_error);
    *io_l_size = l_size;
    return true;
  }

  void DestroyKey(Handle in_l_key) override { CryptDestroyKey(in_l_key); }
  void DestroyHash(Handle in_l_hash) override { CryptDestroyHash(in_l_hash); }
  void ReleaseContext(Handle in_l_provider) override { CryptReleaseContext(in_l_provider, 0); }
};

}  // namespace

CryptoProvider& SystemCryptoProvider() {
  static CapiProvider s_provider;
  return s_provider;
}

}  // namespace tavc::platform
