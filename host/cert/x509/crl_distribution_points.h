#pragma once
// CRLDistributionPoints (2.5.29.31).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/cert/x509/general_name.h"
#include "host/cert/x509/x509_name.h"

namespace tavc {
namespace x509 {

struct DistributionPoint {
  bool has_point_name = false;
  // With has_point_name: true for fullName [0] (full_name holds it), false for
  // nameRelativeToCRLIssuer [1] (relative_name holds it).
  bool point_name_is_full = false;
  GeneralNames full_name;
  Rdn relative_name;
  bool has_reasons = false;
  std::vector<std::uint8_t> reasons;  // ReasonFlags bit string bytes
  unsigned reasons_unused_bits = 0;
  bool has_crl_issuer = false;
  GeneralNames crl_issuer;
};

bool DecodeCrlDistributionPoints(const std::uint8_t* in_l_data, std::size_t in_l_size,
                                 std::vector<DistributionPoint>& out_l_points);

}  // namespace x509
}  // namespace tavc
