#pragma once
// The three extensions of the commercial-registration corporate certificate,
// read from their raw values: the certificate policy text, the registrar, and
// the registered corporation's name, address and representative.
#include <string>

#include "host/cert/x509/parsed_certificate.h"

namespace tavc {

struct RegisteredCorporation {
  std::wstring name;
  std::wstring address;
  std::wstring representative_name;
  std::wstring representative_title;
};

// Each gives empty texts for a missing extension or at the first element that
// is not where it belongs.
std::wstring ParseJCertifcatePolitics(const x509::ParsedCertificate& in_l_certificate);
std::wstring ParseRegistrar(const x509::ParsedCertificate& in_l_certificate);
RegisteredCorporation ParseRegisterCorporationInfo(const x509::ParsedCertificate& in_l_certificate);

// The first commonName of the issuer, appended to the issuer texts by both
// corporate classes.
std::wstring IssuerCommonName(const x509::ParsedCertificate& in_l_certificate);

}  // namespace tavc
