#pragma once
// Distinguished names: a list of RDNs, each a list of attributes, kept in the
// order they are encoded (no sorting of SET members).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/x509/der_reader.h"

namespace tavc {
namespace x509 {

struct NameAttribute {
  std::string oid;                      // attribute type, dotted ("2.5.4.3")
  std::uint8_t value_tag = 0;           // identifier byte of the value (0x13, 0x0C, 0x1E, ...)
  std::vector<std::uint8_t> value;      // value contents as encoded
  std::vector<std::uint8_t> value_der;  // the whole value element, header included
  bool is_string = false;               // value_tag is a string type and text holds its text
  std::wstring text;                    // RenderAttributeValue of the value; empty when !is_string
};

using Rdn = std::vector<NameAttribute>;  // never empty

struct Name {
  std::vector<Rdn> rdns;
  std::vector<std::uint8_t> der;  // the encoded Name (SEQUENCE header included)
};

// Reads the next element of the reader as a Name (SEQUENCE OF SET OF
// AttributeTypeAndValue). An empty RDN, an attribute that is not exactly a type
// and one value, or a string value its type cannot hold fails the decode.
bool ReadName(DerReader& io_l_reader, Name& out_l_name);

// Reads the members of an RDN from a reader over the SET's contents.
bool ReadRdnMembers(DerReader& io_l_set_contents, Rdn& out_l_rdn);

// Decodes a buffer that holds exactly one encoded Name.
bool DecodeName(const std::uint8_t* in_l_data, std::size_t in_l_size, Name& out_l_name);

}  // namespace x509
}  // namespace tavc
