#include "host/cert/x509/der_primitives.h"
#include "host/cert/x509/der_reader.h"
#include "host/cert/x509/parsed_certificate.h"

namespace tavc {
namespace x509 {

namespace {

std::vector<std::uint8_t> WithoutLeadingZeros(const DerElement& in_l_integer) {
  std::size_t l_skip = 0;
  while (l_skip < in_l_integer.value_size && in_l_integer.value[l_skip] == 0) ++l_skip;
  return std::vector<std::uint8_t>(in_l_integer.value + l_skip,
                                   in_l_integer.value + in_l_integer.value_size);
}

std::uint32_t BitLength(const std::vector<std::uint8_t>& in_l_magnitude) {
  if (in_l_magnitude.empty()) return 0;
  std::uint32_t l_bits = static_cast<std::uint32_t>((in_l_magnitude.size() - 1) * 8);
  for (unsigned l_top = in_l_magnitude.front(); l_top != 0; l_top >>= 1) ++l_bits;
  return l_bits;
}

// RSAPublicKey ::= SEQUENCE { modulus INTEGER, publicExponent INTEGER }. A key
// that does not parse leaves has_rsa_key false; the certificate stays usable.
// The integers are read as magnitudes: a modulus missing its 0x00 sign byte is
// still its key.
void ReadRsaKey(SubjectPublicKeyInfo& io_l_info) {
  if (io_l_info.algorithm.oid != kOidRsaEncryption || io_l_info.key_unused_bits != 0) return;
  DerReader l_reader(io_l_info.key.data(), io_l_info.key.size());
  DerReader l_fields;
  DerElement l_modulus;
  DerElement l_exponent;
  if (!l_reader.Enter(der_tag::kSequence, l_fields) || !l_reader.AtEnd() ||
      !l_fields.Read(der_tag::kInteger, l_modulus) || !l_fields.Read(der_tag::kInteger, l_exponent) ||
      !l_fields.AtEnd()) {
    return;
  }
  std::vector<std::uint8_t> l_modulus_bytes = WithoutLeadingZeros(l_modulus);
  std::vector<std::uint8_t> l_exponent_bytes = WithoutLeadingZeros(l_exponent);
  if (l_modulus_bytes.empty() || l_exponent_bytes.empty()) return;
  io_l_info.rsa_modulus_bits = BitLength(l_modulus_bytes);
  io_l_info.rsa_modulus = std::move(l_modulus_bytes);
  io_l_info.rsa_exponent = std::move(l_exponent_bytes);
  io_l_info.has_rsa_key = true;
}

bool ReadAlgorithm(DerReader& io_l_reader, AlgorithmIdentifier& out_l_algorithm) {
  DerReader l_fields;
  AlgorithmIdentifier l_algorithm;
  if (!io_l_reader.Enter(der_tag::kSequence, l_fields) || !ReadOid(l_fields, l_algorithm.oid)) {
    return false;
  }
  DerElement l_parameters;
  if (l_fields.Read(l_parameters)) l_algorithm.parameters_der = EncodedBytes(l_parameters);
  if (!l_fields.AtEnd()) return false;
  out_l_algorithm = std::move(l_algorithm);
  return true;
}

bool ReadPublicKey(DerReader& io_l_reader, SubjectPublicKeyInfo& out_l_info) {
  DerReader l_fields;
  DerElement l_key;
  SubjectPublicKeyInfo l_info;
  if (!io_l_reader.Enter(der_tag::kSequence, l_fields) || !ReadAlgorithm(l_fields, l_info.algorithm) ||
      !l_fields.Read(der_tag::kBitString, l_key) || !l_fields.AtEnd() ||
      !SplitBitString(l_key, l_info.key_unused_bits, l_info.key)) {
    return false;
  }
  ReadRsaKey(l_info);
  out_l_info = std::move(l_info);
  return true;
}

bool ReadVersion(DerReader& io_l_tbs, std::uint32_t& out_l_version) {
  out_l_version = 0;
  DerReader l_explicit;
  if (!io_l_tbs.Enter(der_tag::ContextConstructed(0), l_explicit)) return true;
  DerElement l_integer;
  return l_explicit.Read(der_tag::kInteger, l_integer) && l_explicit.AtEnd() &&
         IntegerToUnsigned(l_integer, out_l_version) && out_l_version <= 2;
}

bool ReadExtension(DerReader& io_l_list, Extension& out_l_extension) {
  DerReader l_fields;
  DerElement l_value;
  Extension l_extension;
  if (!io_l_list.Enter(der_tag::kSequence, l_fields) || !ReadOid(l_fields, l_extension.oid)) {
    return false;
  }
  if (l_fields.NextIs(der_tag::kBoolean) && !ReadBoolean(l_fields, l_extension.critical)) {
    return false;
  }
  if (!l_fields.Read(der_tag::kOctetString, l_value) || !l_fields.AtEnd()) return false;
  l_extension.value = ValueBytes(l_value);
  out_l_extension = std::move(l_extension);
  return true;
}

bool ReadExtensions(DerReader& io_l_tbs, std::vector<Extension>& out_l_extensions) {
  DerReader l_explicit;
  if (!io_l_tbs.Enter(der_tag::ContextConstructed(3), l_explicit)) return true;
  DerReader l_list;
  if (!l_explicit.Enter(der_tag::kSequence, l_list) || !l_explicit.AtEnd()) return false;
  while (!l_list.AtEnd()) {
    Extension l_extension;
    if (!ReadExtension(l_list, l_extension)) return false;
    out_l_extensions.push_back(std::move(l_extension));
  }
  return true;
}

bool ReadTbs(DerReader& io_l_certificate, ParsedCertificate& io_l_result) {
  DerElement l_element;
  DerReader l_tbs;
  if (!io_l_certificate.Peek(l_element) || !io_l_certificate.Enter(der_tag::kSequence, l_tbs)) {
    return false;
  }
  io_l_result.tbs_der = EncodedBytes(l_element);
  DerElement l_serial;
  DerReader l_validity;
  if (!ReadVersion(l_tbs, io_l_result.version) || !l_tbs.Read(der_tag::kInteger, l_serial) ||
      l_serial.value_size == 0 || !ReadAlgorithm(l_tbs, io_l_result.signature_algorithm) ||
      !ReadName(l_tbs, io_l_result.issuer) || !l_tbs.Enter(der_tag::kSequence, l_validity) ||
      !ReadTime(l_validity, io_l_result.not_before) || !ReadTime(l_validity, io_l_result.not_after) ||
      !l_validity.AtEnd() || !ReadName(l_tbs, io_l_result.subject) ||
      !ReadPublicKey(l_tbs, io_l_result.public_key)) {
    return false;
  }
  io_l_result.serial_number = ValueBytes(l_serial);
  // issuerUniqueID [1] and subjectUniqueID [2] are skipped: nothing shows them.
  DerElement l_unique_id;
  l_tbs.Read(der_tag::ContextPrimitive(1), l_unique_id);
  l_tbs.Read(der_tag::ContextPrimitive(2), l_unique_id);
  return ReadExtensions(l_tbs, io_l_result.extensions) && l_tbs.AtEnd();
}

}  // namespace

bool DecodeCertificate(const std::uint8_t* in_l_data, std::size_t in_l_size,
                       ParsedCertificate& out_l_certificate) {
  DerReader l_reader(in_l_data, in_l_size);
  DerReader l_certificate;
  if (!l_reader.Enter(der_tag::kSequence, l_certificate) || !l_reader.AtEnd()) return false;
  ParsedCertificate l_result;
  DerElement l_signature;
  unsigned l_unused_bits = 0;
  if (!ReadTbs(l_certificate, l_result) ||
      !ReadAlgorithm(l_certificate, l_result.outer_signature_algorithm) ||
      !l_certificate.Read(der_tag::kBitString, l_signature) || !l_certificate.AtEnd() ||
      !SplitBitString(l_signature, l_unused_bits, l_result.signature)) {
    return false;
  }
  l_result.der.assign(in_l_data, in_l_data + in_l_size);
  out_l_certificate = std::move(l_result);
  return true;
}

const Extension* FindExtension(const ParsedCertificate& in_l_certificate, const std::string& in_l_oid) {
  for (const Extension& l_extension : in_l_certificate.extensions) {
    if (l_extension.oid == in_l_oid) return &l_extension;
  }
  return nullptr;
}

}  // namespace x509
}  // namespace tavc
