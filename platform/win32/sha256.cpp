// SHA-256 through CryptoAPI: an ephemeral AES provider and a CALG_SHA_256 hash.
#include "platform/sha256.h"

#include <windows.h>
#include <wincrypt.h>

namespace tavc::platform {

bool ComputeSha256(const std::uint8_t* in_l_data, std::size_t in_l_size, Sha256Digest* out_l_digest,
                   std::uint32_t* out_l_error) {
  *out_l_error = 0;
  if (in_l_size > MAXDWORD) {
    *out_l_error = ERROR_INVALID_PARAMETER;
    return false;
  }
  HCRYPTPROV l_provider = 0;
  HCRYPTHASH l_hash = 0;
  DWORD l_length = static_cast<DWORD>(out_l_digest->size());
  const bool l_ok =
      CryptAcquireContextW(&l_provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) != FALSE &&
      CryptCreateHash(l_provider, CALG_SHA_256, 0, 0, &l_hash) != FALSE &&
      CryptHashData(l_hash, in_l_data, static_cast<DWORD>(in_l_size), 0) != FALSE &&
      CryptGetHashParam(l_hash, HP_HASHVAL, out_l_digest->data(), &l_length, 0) != FALSE &&
      l_length == out_l_digest->size();
  if (!l_ok) *out_l_error = static_cast<std::uint32_t>(GetLastError());
  if (l_hash != 0) CryptDestroyHash(l_hash);
  if (l_provider != 0) CryptReleaseContext(l_provider, 0);
  return l_ok;
}

}  // namespace tavc::platform
