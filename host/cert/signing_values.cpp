#include "host/cert/signing_values.h"

#include "common/hex_codec.h"

namespace tavc {

bool Sha256FromDigest(const std::wstring& in_l_digest, std::vector<std::uint8_t>* out_l_hash) {
  constexpr std::size_t kHexSize = kSha256Size * 2;
  if (in_l_digest.size() < kHexSize) return false;
  std::vector<std::uint8_t> l_bytes;
  if (!HexToBytes(std::wstring_view(in_l_digest).substr(in_l_digest.size() - kHexSize), l_bytes)) return false;
  out_l_hash->swap(l_bytes);
  return true;
}

std::size_t SignatureSizeOf(const x509::ParsedCertificate* in_l_certificate) {
  if (in_l_certificate == nullptr || !in_l_certificate->public_key.has_rsa_key) return 0;
  return (in_l_certificate->public_key.rsa_modulus_bits + 7) / 8;
}

}  // namespace tavc
