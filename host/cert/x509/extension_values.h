#pragma once
// Decoders for the values (the OCTET STRING contents) of the small standard
// extensions. Each decodes a buffer that holds exactly the extension value and
// leaves its output unchanged on failure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/x509/general_name.h"

namespace tavc {
namespace x509 {

// Bit numbers of KeyUsage (2.5.29.15); bit 0 is the most significant bit of
// the first byte.
enum class KeyUsageBit : unsigned {
  kDigitalSignature = 0,
  kNonRepudiation = 1,
  kKeyEncipherment = 2,
  kDataEncipherment = 3,
  kKeyAgreement = 4,
  kKeyCertSign = 5,
  kCrlSign = 6,
  kEncipherOnly = 7,
  kDecipherOnly = 8,
};

struct KeyUsage {
  std::vector<std::uint8_t> bytes;  // the bit string's bytes (first byte: bits 0 to 7)
  unsigned unused_bits = 0;         // unused low bits of the last byte

  bool Has(KeyUsageBit in_l_bit) const;
  // The numbers of the bits that are set, lowest first.
  std::vector<unsigned> SetBits() const;
};

bool DecodeKeyUsage(const std::uint8_t* in_l_data, std::size_t in_l_size, KeyUsage& out_l_usage);

// ExtKeyUsageSyntax (2.5.29.37): the usage identifiers in encoded order.
bool DecodeExtendedKeyUsage(const std::uint8_t* in_l_data, std::size_t in_l_size,
                            std::vector<std::string>& out_l_oids);

// BasicConstraints (2.5.29.19).
struct BasicConstraints {
  bool is_ca = false;
  bool has_path_length = false;
  std::uint32_t path_length = 0;  // when has_path_length
};

// A path length that is negative or does not fit 32 bits fails the decode.
bool DecodeBasicConstraints(const std::uint8_t* in_l_data, std::size_t in_l_size,
                            BasicConstraints& out_l_constraints);

// AuthorityKeyIdentifier (2.5.29.35).
struct AuthorityKeyId {
  bool has_key_id = false;
  std::vector<std::uint8_t> key_id;
  bool has_issuer = false;
  GeneralNames issuer;
  bool has_serial_number = false;
  std::vector<std::uint8_t> serial_number;  // big-endian, as encoded
};

bool DecodeAuthorityKeyId(const std::uint8_t* in_l_data, std::size_t in_l_size,
                          AuthorityKeyId& out_l_key_id);

// SubjectKeyIdentifier (2.5.29.14): the key identifier bytes.
bool DecodeSubjectKeyId(const std::uint8_t* in_l_data, std::size_t in_l_size,
                        std::vector<std::uint8_t>& out_l_key_id);

}  // namespace x509
}  // namespace tavc
