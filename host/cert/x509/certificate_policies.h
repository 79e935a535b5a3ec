#pragma once
// CertificatePolicies (2.5.29.32) with their qualifiers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavc {
namespace x509 {

struct PolicyQualifier {
  std::string oid;                          // policyQualifierId, dotted
  std::uint8_t qualifier_tag = 0;           // identifier byte of the qualifier element
  std::vector<std::uint8_t> qualifier;      // its contents
  std::vector<std::uint8_t> qualifier_der;  // the element, header included
  // The CPS URI (1.3.6.1.5.5.7.2.1) or the explicitText of a user notice
  // (1.3.6.1.5.5.7.2.2); empty for other qualifiers and absent texts.
  std::wstring text;
  // The noticeRef organization of a user notice; empty otherwise.
  std::wstring notice_organization;
};

struct PolicyInformation {
  std::string policy_oid;  // dotted
  std::vector<PolicyQualifier> qualifiers;
};

// Fails on a malformed policy, a CPS qualifier that is not a string, or a
// malformed user notice; the output is left unchanged then.
bool DecodeCertificatePolicies(const std::uint8_t* in_l_data, std::size_t in_l_size,
                               std::vector<PolicyInformation>& out_l_policies);

}  // namespace x509
}  // namespace tavc
