#pragma once
// Runs every extension-value decoder of the X.509 decoder over one buffer and
// renders every name it yields, so that the fuzzers reach all of them.
#include <cstddef>
#include <cstdint>

#include "host/cert/x509/certificate_policies.h"
#include "host/cert/x509/crl_distribution_points.h"
#include "host/cert/x509/extension_values.h"
#include "host/cert/x509/general_name.h"
#include "host/cert/x509/name_text.h"

namespace tavc {
namespace x509 {
namespace fuzz {

inline void RenderBoth(const Name& in_l_name) {
  RenderName(in_l_name, RdnOrder::kAsEncoded);
  RenderName(in_l_name, RdnOrder::kReversed);
}

inline void RenderGeneralNames(const GeneralNames& in_l_names) {
  for (const GeneralName& l_name : in_l_names) RenderBoth(l_name.directory_name);
}

inline void DecodeEveryExtensionValue(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  GeneralNames l_names;
  if (DecodeGeneralNames(in_l_data, in_l_size, l_names)) RenderGeneralNames(l_names);
  KeyUsage l_usage;
  if (DecodeKeyUsage(in_l_data, in_l_size, l_usage)) l_usage.SetBits();
  std::vector<std::string> l_oids;
  DecodeExtendedKeyUsage(in_l_data, in_l_size, l_oids);
  BasicConstraints l_constraints;
  DecodeBasicConstraints(in_l_data, in_l_size, l_constraints);
  AuthorityKeyId l_authority;
  if (DecodeAuthorityKeyId(in_l_data, in_l_size, l_authority)) RenderGeneralNames(l_authority.issuer);
  std::vector<std::uint8_t> l_key_id;
  DecodeSubjectKeyId(in_l_data, in_l_size, l_key_id);
  std::vector<PolicyInformation> l_policies;
  DecodeCertificatePolicies(in_l_data, in_l_size, l_policies);
  std::vector<DistributionPoint> l_points;
  if (DecodeCrlDistributionPoints(in_l_data, in_l_size, l_points)) {
    for (const DistributionPoint& l_point : l_points) {
      RenderGeneralNames(l_point.full_name);
      RenderGeneralNames(l_point.crl_issuer);
    }
  }
}

}  // namespace fuzz
}  // namespace x509
}  // namespace tavc
