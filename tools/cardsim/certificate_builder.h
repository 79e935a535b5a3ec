#pragma once
// Builds X.509 v3 certificates (sha256WithRSAEncryption) with the extensions
// the cards' certificates carry.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/cardsim/openssl_card_key.h"

namespace tavc::cardsim {

// Distinguished name as (attribute short name or dotted OID, UTF-8 value) in
// certificate order; "C" is written as PrintableString, the rest as UTF8String.
using NameEntries = std::vector<std::pair<std::string, std::string>>;

struct CertificateSpec {
  NameEntries m_subject_;
  NameEntries m_issuer_;
  const OpensslCardKey* m_subject_key_ = nullptr;
  const OpensslCardKey* m_issuer_key_ = nullptr;
  // The issuer's certificate for the authority key identifier; empty for a
  // self-signed certificate.
  std::vector<std::uint8_t> m_issuer_certificate_;
  bool m_is_ca_ = false;
  // OpenSSL extension texts; empty leaves the extension out.
  std::string m_key_usage_;           // e.g. "critical,digitalSignature,nonRepudiation"
  std::string m_extended_key_usage_;  // e.g. "clientAuth,emailProtection"
  std::string m_policy_oid_;          // with a CPS qualifier when m_policy_cps_ is set
  std::string m_policy_cps_;
  // Subject alternative name: otherNames (OID, UTF-8 text as [0] EXPLICIT
  // UTF8String) in this order, or a directory name.
  std::vector<std::pair<std::string, std::string>> m_other_names_;
  NameEntries m_subject_directory_name_;
  NameEntries m_issuer_directory_name_;  // issuer alternative name
  NameEntries m_crl_directory_name_;     // CRL distribution point (full name)
  int m_valid_days_ = 3650;
};

// 0 success with the DER certificate; 1 failure.
int BuildCertificate(const CertificateSpec& in_l_spec, std::vector<std::uint8_t>& out_l_der);

}  // namespace tavc::cardsim
