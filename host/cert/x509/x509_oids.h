#pragma once
// Object identifiers, as dotted text, of the extensions and attributes the
// certificate classes look up.
namespace tavc {
namespace x509 {
namespace oid {

constexpr char kSubjectKeyIdentifier[] = "2.5.29.14";
constexpr char kKeyUsage[] = "2.5.29.15";
constexpr char kSubjectAltName[] = "2.5.29.17";
constexpr char kIssuerAltName[] = "2.5.29.18";
constexpr char kBasicConstraints[] = "2.5.29.19";
constexpr char kCrlDistributionPoints[] = "2.5.29.31";
constexpr char kCertificatePolicies[] = "2.5.29.32";
constexpr char kAuthorityKeyIdentifier[] = "2.5.29.35";
constexpr char kExtendedKeyUsage[] = "2.5.29.37";

// Commercial-registration extensions, read from their raw values.
constexpr char kRegistrationPolicyText[] = "1.2.392.100300.1.1.1";
constexpr char kRegistrar[] = "1.2.392.100300.1.1.2";
constexpr char kRegisteredCorporationInfo[] = "1.2.392.100300.1.1.3";

constexpr char kCommonName[] = "2.5.4.3";
constexpr char kCountryName[] = "2.5.4.6";
constexpr char kLocalityName[] = "2.5.4.7";
constexpr char kStateOrProvinceName[] = "2.5.4.8";
constexpr char kOrganizationName[] = "2.5.4.10";
constexpr char kOrganizationalUnitName[] = "2.5.4.11";
constexpr char kDescription[] = "2.5.4.13";
constexpr char kSerialNumber[] = "2.5.4.5";
constexpr char kUserId[] = "0.9.2342.19200300.100.1.1";

}  // namespace oid
}  // namespace x509
}  // namespace tavc
