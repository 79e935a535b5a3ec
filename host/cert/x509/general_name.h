#pragma once
// GeneralName and GeneralNames (alternative names, CRL distribution points,
// authority key identifiers). Directory names and otherNames are decoded; the
// other kinds keep their identifier byte and contents.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/x509/der_reader.h"
#include "host/cert/x509/x509_name.h"

namespace tavc {
namespace x509 {

// The CHOICE number of each kind, as in the context tag [n].
enum class GeneralNameKind : std::uint8_t {
  kOtherName = 0,
  kRfc822Name = 1,
  kDnsName = 2,
  kX400Address = 3,
  kDirectoryName = 4,
  kEdiPartyName = 5,
  kUniformResourceIdentifier = 6,
  kIpAddress = 7,
  kRegisteredId = 8,
};

struct OtherName {
  std::string type_oid;                 // type-id, dotted
  std::uint8_t value_tag = 0;           // identifier byte of the element inside [0] EXPLICIT
  std::vector<std::uint8_t> value;      // that element's contents
  std::vector<std::uint8_t> value_der;  // that element, header included
  bool is_string = false;               // value_tag is a string type and text holds its text
  std::wstring text;
};

struct GeneralName {
  GeneralNameKind kind = GeneralNameKind::kOtherName;
  std::uint8_t tag = 0;             // identifier byte as encoded (0xA0, 0x82, 0xA4, ...)
  std::vector<std::uint8_t> value;  // contents of the [n] element
  Name directory_name;              // kDirectoryName only
  OtherName other_name;             // kOtherName only
  // kRfc822Name, kDnsName, kUniformResourceIdentifier: the IA5 bytes, one unit
  // each; kRegisteredId: the dotted identifier. Empty for the other kinds.
  std::wstring text;
};

using GeneralNames = std::vector<GeneralName>;

// Reads GeneralName elements until the reader is at its end (the reader is
// over the contents of a GeneralNames SEQUENCE or of an implicit [n] tag).
bool ReadGeneralNameList(DerReader& io_l_contents, GeneralNames& out_l_names);

// Decodes an alternative-name extension value (subjectAltName 2.5.29.17,
// issuerAltName 2.5.29.18): exactly one SEQUENCE OF GeneralName.
bool DecodeGeneralNames(const std::uint8_t* in_l_data, std::size_t in_l_size,
                        GeneralNames& out_l_names);

}  // namespace x509
}  // namespace tavc
