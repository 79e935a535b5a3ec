#pragma once
// The accepted issuer of a certificate kind: a production and a test
// (organization, unit) pair; the country is "JP" in every pair.
namespace tavc {

struct IssuerNames {
  const wchar_t* organization;
  const wchar_t* unit;
  const wchar_t* test_organization;  // null when the kind has no test issuer
  const wchar_t* test_unit;
};

// 0 when (country, organization, unit) equals either pair exactly, 1 otherwise.
template <typename Text>
int MatchIssuer(const Text& in_l_country, const Text& in_l_organization, const Text& in_l_unit,
                const IssuerNames& in_l_names) {
  if (in_l_country != L"JP") return 1;
  if (in_l_organization == in_l_names.organization && in_l_unit == in_l_names.unit) return 0;
  if (in_l_names.test_organization != nullptr && in_l_organization == in_l_names.test_organization &&
      in_l_unit == in_l_names.test_unit) {
    return 0;
  }
  return 1;
}

}  // namespace tavc
