#include "host/cert/x509/crl_distribution_points.h"

#include "host/cert/x509/der_primitives.h"
#include "host/cert/x509/der_reader.h"

namespace tavc {
namespace x509 {

namespace {

// DistributionPointName ::= CHOICE { fullName [0] GeneralNames,
//                                    nameRelativeToCRLIssuer [1] RDN }
// inside the explicit [0] of the distribution point.
bool ReadPointName(DerReader& io_l_name, DistributionPoint& io_l_point) {
  DerReader l_choice;
  if (io_l_name.Enter(der_tag::ContextConstructed(0), l_choice)) {
    if (!ReadGeneralNameList(l_choice, io_l_point.full_name)) return false;
    io_l_point.point_name_is_full = true;
  } else if (io_l_name.Enter(der_tag::ContextConstructed(1), l_choice)) {
    if (!ReadRdnMembers(l_choice, io_l_point.relative_name)) return false;
  } else {
    return false;
  }
  io_l_point.has_point_name = true;
  return io_l_name.AtEnd();
}

bool ReadPoint(DerReader& io_l_points, DistributionPoint& out_l_point) {
  DerReader l_fields;
  DistributionPoint l_point;
  if (!io_l_points.Enter(der_tag::kSequence, l_fields)) return false;
  DerReader l_inner;
  if (l_fields.Enter(der_tag::ContextConstructed(0), l_inner) && !ReadPointName(l_inner, l_point)) {
    return false;
  }
  DerElement l_reasons;
  if (l_fields.Read(der_tag::ContextPrimitive(1), l_reasons)) {
    if (!SplitBitString(l_reasons, l_point.reasons_unused_bits, l_point.reasons)) return false;
    l_point.has_reasons = true;
  }
  if (l_fields.Enter(der_tag::ContextConstructed(2), l_inner)) {
    if (!ReadGeneralNameList(l_inner, l_point.crl_issuer)) return false;
    l_point.has_crl_issuer = true;
  }
  if (!l_fields.AtEnd()) return false;
  out_l_point = std::move(l_point);
  return true;
}

}  // namespace

bool DecodeCrlDistributionPoints(const std::uint8_t* in_l_data, std::size_t in_l_size,
                                 std::vector<DistributionPoint>& out_l_points) {
  DerReader l_reader(in_l_data, in_l_size);
  DerReader l_points;
  if (!l_reader.Enter(der_tag::kSequence, l_points) || !l_reader.AtEnd()) return false;
  std::vector<DistributionPoint> l_result;
  while (!l_points.AtEnd()) {
    DistributionPoint l_point;
    if (!ReadPoint(l_points, l_point)) return false;
    l_result.push_back(std::move(l_point));
  }
  out_l_points = std::move(l_result);
  return true;
}

}  // namespace x509
}  // namespace tavc
