#pragma once
// A name as CertNameToStrW renders it in the X.500 format (CERT_X500_NAME_STR):
// "CN=Sample, O=Org, C=JP". RDNs are joined by ", ", the attributes of a
// multi-valued RDN by " + ", each attribute is its key, "=" and its value.
#include <string>

#include "host/cert/x509/x509_name.h"

namespace tavc {
namespace x509 {

enum class RdnOrder {
  kAsEncoded,  // as CertNameToStrW without flags
  kReversed,   // as with CERT_NAME_STR_REVERSE_FLAG: last RDN first, members kept in order
};

// The X.500 key CryptoAPI prints for an attribute type ("CN", "SERIALNUMBER",
// ...), or "OID." and the dotted identifier for a type it has no key for.
std::wstring X500Key(const std::string& in_l_oid);

// A value quoted as CertNameToStrW does: in double quotes when it has a leading
// or trailing white-space character or any of , + = " newline < > # ; and then
// with each embedded " doubled.
std::wstring QuoteX500Value(const std::wstring& in_l_value);

std::wstring RenderName(const Name& in_l_name, RdnOrder in_l_order);

}  // namespace x509
}  // namespace tavc
