#pragma once
// What the provider and file certificates sign and check: the SHA-256 value at
// the end of a request digest, and the size a signature of the certificate's
// key must have.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/x509/parsed_certificate.h"

namespace tavc {

inline constexpr std::size_t kSha256Size = 32;

// The last 64 characters of a digest (a bare SHA-256 value or a DigestInfo in
// hexadecimal) as 32 bytes; false when they are fewer or not hexadecimal.
bool Sha256FromDigest(const std::wstring& in_l_digest, std::vector<std::uint8_t>* out_l_hash);

// The byte size of the RSA modulus of the certificate's key; 0 when unknown.
std::size_t SignatureSizeOf(const x509::ParsedCertificate* in_l_certificate);

}  // namespace tavc
