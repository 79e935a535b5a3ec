#include "host/cert/x509/general_name.h"

#include "host/cert/x509/attribute_value_text.h"
#include "host/cert/x509/der_primitives.h"

namespace tavc {
namespace x509 {

namespace {

bool ReadOtherName(const DerReader& in_l_parent, const DerElement& in_l_element,
                   OtherName& out_l_other) {
  DerReader l_inner;
  DerReader l_explicit;
  DerElement l_value;
  OtherName l_other;
  if (!in_l_parent.EnterElement(in_l_element, l_inner) || !ReadOid(l_inner, l_other.type_oid) ||
      !l_inner.Enter(der_tag::ContextConstructed(0), l_explicit) || !l_inner.AtEnd() ||
      !l_explicit.Read(l_value) || !l_explicit.AtEnd()) {
    return false;
  }
  l_other.value_tag = l_value.tag;
  l_other.value = ValueBytes(l_value);
  l_other.value_der = EncodedBytes(l_value);
  if (IsStringTag(l_value.tag)) {
    if (!RenderAttributeValue(l_value.tag, l_value.value, l_value.value_size, l_other.text)) {
      return false;
    }
    l_other.is_string = true;
  }
  out_l_other = std::move(l_other);
  return true;
}

bool ReadDirectoryName(const DerReader& in_l_parent, const DerElement& in_l_element,
                       Name& out_l_name) {
  DerReader l_inner;
  return in_l_parent.EnterElement(in_l_element, l_inner) && ReadName(l_inner, out_l_name) &&
         l_inner.AtEnd();
}

std::wstring BytesAsUnits(const DerElement& in_l_element) {
  std::wstring l_text;
  for (std::size_t l_i = 0; l_i < in_l_element.value_size; ++l_i) {
    l_text += static_cast<wchar_t>(in_l_element.value[l_i]);
  }
  return l_text;
}

// Which kinds are constructed: otherName, x400Address, directoryName and
// ediPartyName are; the rest are primitive.
bool IsConstructedKind(unsigned in_l_number) {
  return in_l_number == 0 || in_l_number == 3 || in_l_number == 4 || in_l_number == 5;
}

bool ReadGeneralName(DerReader& io_l_contents, GeneralName& out_l_name) {
  DerElement l_element;
  if (!io_l_contents.Read(l_element)) return false;
  // Context class only, with a kind number from 0 to 8.
  if ((l_element.tag & 0xC0U) != 0x80U) return false;
  const unsigned l_number = l_element.tag & 0x1FU;
  if (l_number > 8 || l_element.IsConstructed() != IsConstructedKind(l_number)) return false;
  GeneralName l_name;
  l_name.kind = static_cast<GeneralNameKind>(l_number);
  l_name.tag = l_element.tag;
  l_name.value = ValueBytes(l_element);
  switch (l_name.kind) {
    case GeneralNameKind::kOtherName:
      if (!ReadOtherName(io_l_contents, l_element, l_name.other_name)) return false;
      break;
    case GeneralNameKind::kDirectoryName:
      if (!ReadDirectoryName(io_l_contents, l_element, l_name.directory_name)) return false;
      break;
    case GeneralNameKind::kRfc822Name:
    case GeneralNameKind::kDnsName:
    case GeneralNameKind::kUniformResourceIdentifier:
      l_name.text = BytesAsUnits(l_element);
      break;
    case GeneralNameKind::kRegisteredId: {
      std::string l_oid;
      if (!OidToText(l_element.value, l_element.value_size, l_oid)) return false;
      l_name.text.assign(l_oid.begin(), l_oid.end());
      break;
    }
    default:
      break;
  }
  out_l_name = std::move(l_name);
  return true;
}

}  // namespace

bool ReadGeneralNameList(DerReader& io_l_contents, GeneralNames& out_l_names) {
  GeneralNames l_names;
  while (!io_l_contents.AtEnd()) {
    GeneralName l_name;
    if (!ReadGeneralName(io_l_contents, l_name)) return false;
    l_names.push_back(std::move(l_name));
  }
  out_l_names = std::move(l_names);
  return true;
}

bool DecodeGeneralNames(const std::uint8_t* in_l_data, std::size_t in_l_size,
                        GeneralNames& out_l_names) {
  DerReader l_reader(in_l_data, in_l_size);
  DerReader l_contents;
  GeneralNames l_names;
  if (!l_reader.Enter(der_tag::kSequence, l_contents) || !l_reader.AtEnd() ||
      !ReadGeneralNameList(l_contents, l_names)) {
    return false;
  }
  out_l_names = std::move(l_names);
  return true;
}

}  // namespace x509
}  // namespace tavc
