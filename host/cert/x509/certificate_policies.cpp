#include "host/cert/x509/certificate_policies.h"

#include "host/cert/x509/attribute_value_text.h"
#include "host/cert/x509/der_primitives.h"
#include "host/cert/x509/der_reader.h"

namespace tavc {
namespace x509 {

namespace {

const char kCpsQualifier[] = "1.3.6.1.5.5.7.2.1";
const char kUserNoticeQualifier[] = "1.3.6.1.5.5.7.2.2";

// DisplayText: IA5String, VisibleString, BMPString or UTF8String.
bool ReadDisplayText(DerReader& io_l_reader, std::wstring& out_l_text) {
  DerElement l_element;
  if (!io_l_reader.Read(l_element)) return false;
  if (l_element.tag != der_tag::kIa5String && l_element.tag != der_tag::kVisibleString &&
      l_element.tag != der_tag::kBmpString && l_element.tag != der_tag::kUtf8String) {
    return false;
  }
  return RenderAttributeValue(l_element.tag, l_element.value, l_element.value_size, out_l_text);
}

// UserNotice ::= SEQUENCE { noticeRef NoticeReference OPTIONAL,
//                           explicitText DisplayText OPTIONAL }
bool ReadUserNotice(const DerReader& in_l_parent, const DerElement& in_l_element,
                    PolicyQualifier& io_l_qualifier) {
  DerReader l_notice;
  if (in_l_element.tag != der_tag::kSequence || !in_l_parent.EnterElement(in_l_element, l_notice)) {
    return false;
  }
  DerReader l_reference;
  if (l_notice.Enter(der_tag::kSequence, l_reference)) {
    DerReader l_numbers;
    DerElement l_number;
    if (!ReadDisplayText(l_reference, io_l_qualifier.notice_organization) ||
        !l_reference.Enter(der_tag::kSequence, l_numbers) || !l_reference.AtEnd()) {
      return false;
    }
    while (!l_numbers.AtEnd()) {
      if (!l_numbers.Read(der_tag::kInteger, l_number)) return false;
    }
  }
  if (!l_notice.AtEnd() && !ReadDisplayText(l_notice, io_l_qualifier.text)) return false;
  return l_notice.AtEnd();
}

bool ReadQualifier(DerReader& io_l_qualifiers, PolicyQualifier& out_l_qualifier) {
  DerReader l_info;
  DerElement l_element;
  PolicyQualifier l_qualifier;
  if (!io_l_qualifiers.Enter(der_tag::kSequence, l_info) || !ReadOid(l_info, l_qualifier.oid) ||
      !l_info.Read(l_element) || !l_info.AtEnd()) {
    return false;
  }
  l_qualifier.qualifier_tag = l_element.tag;
  l_qualifier.qualifier = ValueBytes(l_element);
  l_qualifier.qualifier_der = EncodedBytes(l_element);
  if (l_qualifier.oid == kCpsQualifier) {
    if (!RenderAttributeValue(l_element.tag, l_element.value, l_element.value_size,
                              l_qualifier.text)) {
      return false;
    }
  } else if (l_qualifier.oid == kUserNoticeQualifier) {
    if (!ReadUserNotice(l_info, l_element, l_qualifier)) return false;
  }
  out_l_qualifier = std::move(l_qualifier);
  return true;
}

bool ReadPolicy(DerReader& io_l_policies, PolicyInformation& out_l_policy) {
  DerReader l_info;
  PolicyInformation l_policy;
  if (!io_l_policies.Enter(der_tag::kSequence, l_info) || !ReadOid(l_info, l_policy.policy_oid)) {
    return false;
  }
  DerReader l_qualifiers;
  if (l_info.Enter(der_tag::kSequence, l_qualifiers)) {
    while (!l_qualifiers.AtEnd()) {
      PolicyQualifier l_qualifier;
      if (!ReadQualifier(l_qualifiers, l_qualifier)) return false;
      l_policy.qualifiers.push_back(std::move(l_qualifier));
    }
  }
  if (!l_info.AtEnd()) return false;
  out_l_policy = std::move(l_policy);
  return true;
}

}  // namespace

bool DecodeCertificatePolicies(const std::uint8_t* in_l_data, std::size_t in_l_size,
                               std::vector<PolicyInformation>& out_l_policies) {
  DerReader l_reader(in_l_data, in_l_size);
  DerReader l_policies;
  if (!l_reader.Enter(der_tag::kSequence, l_policies) || !l_reader.AtEnd()) return false;
  std::vector<PolicyInformation> l_result;
  while (!l_policies.AtEnd()) {
    PolicyInformation l_policy;
    if (!ReadPolicy(l_policies, l_policy)) return false;
    l_result.push_back(std::move(l_policy));
  }
  out_l_policies = std::move(l_result);
  return true;
}

}  // namespace x509
}  // namespace tavc
