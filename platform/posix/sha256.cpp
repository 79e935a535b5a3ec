// SHA-256 through OpenSSL's libcrypto.
#include "platform/sha256.h"

#include <openssl/err.h>
#include <openssl/evp.h>

namespace tavc::platform {

bool ComputeSha256(const std::uint8_t* in_l_data, std::size_t in_l_size, Sha256Digest* out_l_digest,
                   std::uint32_t* out_l_error) {
  unsigned int l_length = 0;
  if (EVP_Digest(in_l_data, in_l_size, out_l_digest->data(), &l_length, EVP_sha256(), nullptr) != 1 ||
      l_length != out_l_digest->size()) {
    *out_l_error = static_cast<std::uint32_t>(ERR_get_error());
    return false;
  }
  *out_l_error = 0;
  return true;
}

}  // namespace tavc::platform
