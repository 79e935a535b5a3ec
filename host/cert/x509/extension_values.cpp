#include "host/cert/x509/extension_values.h"

#include "host/cert/x509/der_primitives.h"

namespace tavc {
namespace x509 {

namespace {

// A reader over the contents of the single SEQUENCE that fills the buffer.
bool EnterOnlySequence(const std::uint8_t* in_l_data, std::size_t in_l_size,
                       DerReader& out_l_contents) {
  DerReader l_reader(in_l_data, in_l_size);
  return l_reader.Enter(der_tag::kSequence, out_l_contents) && l_reader.AtEnd();
}

}  // namespace

bool KeyUsage::Has(KeyUsageBit in_l_bit) const {
  const unsigned l_bit = static_cast<unsigned>(in_l_bit);
  const std::size_t l_byte = l_bit / 8;
  if (l_byte >= bytes.size()) return false;
  return (bytes[l_byte] & (0x80U >> (l_bit % 8))) != 0;
}

std::vector<unsigned> KeyUsage::SetBits() const {
  std::vector<unsigned> l_bits;
  for (std::size_t l_byte = 0; l_byte < bytes.size(); ++l_byte) {
    for (unsigned l_i = 0; l_i < 8; ++l_i) {
      if ((bytes[l_byte] & (0x80U >> l_i)) != 0) {
        l_bits.push_back(static_cast<unsigned>(l_byte * 8 + l_i));
      }
    }
  }
  return l_bits;
}

bool DecodeKeyUsage(const std::uint8_t* in_l_data, std::size_t in_l_size, KeyUsage& out_l_usage) {
  DerElement l_element;
  KeyUsage l_usage;
  if (!ReadSingleElement(in_l_data, in_l_size, l_element) || l_element.tag != der_tag::kBitString ||
      !SplitBitString(l_element, l_usage.unused_bits, l_usage.bytes)) {
    return false;
  }
  // Unused bits carry no usage even when an encoder left them set.
  if (!l_usage.bytes.empty()) {
    l_usage.bytes.back() =
        static_cast<std::uint8_t>(l_usage.bytes.back() & (0xFFU << l_usage.unused_bits));
  }
  out_l_usage = std::move(l_usage);
  return true;
}

bool DecodeExtendedKeyUsage(const std::uint8_t* in_l_data, std::size_t in_l_size,
                            std::vector<std::string>& out_l_oids) {
  DerReader l_contents;
  if (!EnterOnlySequence(in_l_data, in_l_size, l_contents)) return false;
  std::vector<std::string> l_oids;
  while (!l_contents.AtEnd()) {
    std::string l_oid;
    if (!ReadOid(l_contents, l_oid)) return false;
    l_oids.push_back(std::move(l_oid));
  }
  out_l_oids = std::move(l_oids);
  return true;
}

bool DecodeBasicConstraints(const std::uint8_t* in_l_data, std::size_t in_l_size,
                            BasicConstraints& out_l_constraints) {
  DerReader l_contents;
  if (!EnterOnlySequence(in_l_data, in_l_size, l_contents)) return false;
  BasicConstraints l_constraints;
  if (l_contents.NextIs(der_tag::kBoolean) && !ReadBoolean(l_contents, l_constraints.is_ca)) {
    return false;
  }
  DerElement l_path;
  if (l_contents.Read(der_tag::kInteger, l_path)) {
    if (!IntegerToUnsigned(l_path, l_constraints.path_length)) return false;
    l_constraints.has_path_length = true;
  }
  if (!l_contents.AtEnd()) return false;
  out_l_constraints = l_constraints;
  return true;
}

bool DecodeAuthorityKeyId(const std::uint8_t* in_l_data, std::size_t in_l_size,
                          AuthorityKeyId& out_l_key_id) {
  DerReader l_contents;
  if (!EnterOnlySequence(in_l_data, in_l_size, l_contents)) return false;
  AuthorityKeyId l_key_id;
  DerElement l_element;
  if (l_contents.Read(der_tag::ContextPrimitive(0), l_element)) {
    l_key_id.has_key_id = true;
    l_key_id.key_id = ValueBytes(l_element);
  }
  DerReader l_issuer;
  if (l_contents.Enter(der_tag::ContextConstructed(1), l_issuer)) {
    if (!ReadGeneralNameList(l_issuer, l_key_id.issuer)) return false;
    l_key_id.has_issuer = true;
  }
  if (l_contents.Read(der_tag::ContextPrimitive(2), l_element)) {
    if (l_element.value_size == 0) return false;
    l_key_id.has_serial_number = true;
    l_key_id.serial_number = ValueBytes(l_element);
  }
  if (!l_contents.AtEnd()) return false;
  out_l_key_id = std::move(l_key_id);
  return true;
}

bool DecodeSubjectKeyId(const std::uint8_t* in_l_data, std::size_t in_l_size,
                        std::vector<std::uint8_t>& out_l_key_id) {
  DerElement l_element;
  if (!ReadSingleElement(in_l_data, in_l_size, l_element) ||
      l_element.tag != der_tag::kOctetString) {
    return false;
  }
  out_l_key_id = ValueBytes(l_element);
  return true;
}

}  // namespace x509
}  // namespace tavc
