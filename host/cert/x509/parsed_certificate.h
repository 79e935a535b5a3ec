#pragma once
// An X.509 v1 or v3 certificate as our decoder gives it. Every member owns its
// bytes, so the record outlives the buffer it was decoded from. Extension
// values are kept encoded; the decoders of extension_values.h,
// general_name.h, certificate_policies.h and crl_distribution_points.h read
// them on demand, so a malformed extension spoils only its own field.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/x509/x509_name.h"
#include "host/cert/x509/x509_time.h"

namespace tavc {
namespace x509 {

struct AlgorithmIdentifier {
  std::string oid;                           // dotted ("1.2.840.113549.1.1.11")
  std::vector<std::uint8_t> parameters_der;  // encoded parameters; empty when absent
};

struct SubjectPublicKeyInfo {
  AlgorithmIdentifier algorithm;
  std::vector<std::uint8_t> key;  // subjectPublicKey bit string bytes
  unsigned key_unused_bits = 0;
  // For rsaEncryption keys whose key bytes hold RSAPublicKey.
  bool has_rsa_key = false;
  std::vector<std::uint8_t> rsa_modulus;   // big-endian, leading zero bytes removed
  std::uint32_t rsa_modulus_bits = 0;      // bit length of the modulus
  std::vector<std::uint8_t> rsa_exponent;  // big-endian, leading zero bytes removed
};

struct Extension {
  std::string oid;  // extnID, dotted
  bool critical = false;
  std::vector<std::uint8_t> value;  // extnValue contents (the encoded extension value)
};

struct ParsedCertificate {
  std::vector<std::uint8_t> der;      // the whole certificate
  std::vector<std::uint8_t> tbs_der;  // tbsCertificate, header included
  std::uint32_t version = 0;          // the field's value: 0 = v1, 1 = v2, 2 = v3
  std::vector<std::uint8_t> serial_number;  // INTEGER contents, big-endian as encoded
  AlgorithmIdentifier signature_algorithm;  // tbsCertificate.signature
  Name issuer;
  DateTime not_before;
  DateTime not_after;
  Name subject;
  SubjectPublicKeyInfo public_key;
  std::vector<Extension> extensions;        // in encoded order
  AlgorithmIdentifier outer_signature_algorithm;  // Certificate.signatureAlgorithm
  std::vector<std::uint8_t> signature;      // signatureValue bit string bytes
};

// Rsa encryption, the one key algorithm whose key we take apart.
constexpr char kOidRsaEncryption[] = "1.2.840.113549.1.1.1";

// Decodes a DER certificate that fills the buffer exactly. Fails, leaving the
// output unchanged, on any malformed element, an unknown version (above v3),
// an empty serial number, impossible validity dates, an issuer or subject that
// is not a well-formed name, or bytes after the certificate. The signature is
// not verified.
bool DecodeCertificate(const std::uint8_t* in_l_data, std::size_t in_l_size,
                       ParsedCertificate& out_l_certificate);

// The first extension with this identifier, or null.
const Extension* FindExtension(const ParsedCertificate& in_l_certificate, const std::string& in_l_oid);

}  // namespace x509
}  // namespace tavc
