#include "host/cert/x509/x509_name.h"

#include "host/cert/x509/attribute_value_text.h"
#include "host/cert/x509/der_primitives.h"

namespace tavc {
namespace x509 {

namespace {

bool ReadAttribute(DerReader& io_l_set_contents, NameAttribute& out_l_attribute) {
  DerReader l_inner;
  if (!io_l_set_contents.Enter(der_tag::kSequence, l_inner)) return false;
  NameAttribute l_attribute;
  DerElement l_value;
  if (!ReadOid(l_inner, l_attribute.oid) || !l_inner.Read(l_value) || !l_inner.AtEnd()) {
    return false;
  }
  l_attribute.value_tag = l_value.tag;
  l_attribute.value = ValueBytes(l_value);
  l_attribute.value_der = EncodedBytes(l_value);
  if (IsStringTag(l_value.tag)) {
    if (!RenderAttributeValue(l_value.tag, l_value.value, l_value.value_size, l_attribute.text)) {
      return false;
    }
    l_attribute.is_string = true;
  }
  out_l_attribute = std::move(l_attribute);
  return true;
}

}  // namespace

bool ReadRdnMembers(DerReader& io_l_set_contents, Rdn& out_l_rdn) {
  Rdn l_rdn;
  while (!io_l_set_contents.AtEnd()) {
    NameAttribute l_attribute;
    if (!ReadAttribute(io_l_set_contents, l_attribute)) return false;
    l_rdn.push_back(std::move(l_attribute));
  }
  if (l_rdn.empty()) return false;
  out_l_rdn = std::move(l_rdn);
  return true;
}

bool ReadName(DerReader& io_l_reader, Name& out_l_name) {
  DerElement l_element;
  if (!io_l_reader.Peek(l_element) || l_element.tag != der_tag::kSequence) return false;
  DerReader l_rdns;
  if (!io_l_reader.Enter(der_tag::kSequence, l_rdns)) return false;
  Name l_name;
  while (!l_rdns.AtEnd()) {
    DerReader l_set;
    Rdn l_rdn;
    if (!l_rdns.Enter(der_tag::kSet, l_set) || !ReadRdnMembers(l_set, l_rdn)) return false;
    l_name.rdns.push_back(std::move(l_rdn));
  }
  l_name.der = EncodedBytes(l_element);
  out_l_name = std::move(l_name);
  return true;
}

bool DecodeName(const std::uint8_t* in_l_data, std::size_t in_l_size, Name& out_l_name) {
  DerReader l_reader(in_l_data, in_l_size);
  Name l_name;
  if (!ReadName(l_reader, l_name) || !l_reader.AtEnd()) return false;
  out_l_name = std::move(l_name);
  return true;
}

}  // namespace x509
}  // namespace tavc
