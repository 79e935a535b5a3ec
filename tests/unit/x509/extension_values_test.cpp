#include "host/cert/x509/extension_values.h"

#include <gtest/gtest.h>

#include "host/cert/x509/certificate_policies.h"
#include "host/cert/x509/crl_distribution_points.h"
#include "host/cert/x509/name_text.h"
#include "host/cert/x509/parsed_certificate.h"
#include "host/cert/x509/x509_oids.h"
#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace x509 {
namespace {

using test::Bytes;
using test::Seq;
using test::Tlv;

#include "tests/unit/x509/fixtures/openssl_certificate.inc"

template <typename Out>
bool DecodeWith(bool (*in_l_decoder)(const std::uint8_t*, std::size_t, Out&), const Bytes& in_l_der,
         Out& out_l_value) {
  return in_l_decoder(in_l_der.data(), in_l_der.size(), out_l_value);
}

TEST(KeyUsageTest, ReadsBitsAcrossBothBytes) {
  KeyUsage l_usage;
  ASSERT_TRUE(DecodeWith(DecodeKeyUsage, Tlv(0x03, {0x06, 0xC0}), l_usage));
  EXPECT_TRUE(l_usage.Has(KeyUsageBit::kDigitalSignature));
  EXPECT_TRUE(l_usage.Has(KeyUsageBit::kNonRepudiation));
  EXPECT_FALSE(l_usage.Has(KeyUsageBit::kKeyEncipherment));
  EXPECT_FALSE(l_usage.Has(KeyUsageBit::kDecipherOnly));

  ASSERT_TRUE(DecodeWith(DecodeKeyUsage, Tlv(0x03, {0x07, 0x16, 0x80}), l_usage));
  EXPECT_EQ(l_usage.SetBits(), (std::vector<unsigned>{3, 5, 6, 8}));
  EXPECT_TRUE(l_usage.Has(KeyUsageBit::kDecipherOnly));

  ASSERT_TRUE(DecodeWith(DecodeKeyUsage, Tlv(0x03, {0x07, 0x81}), l_usage));
  EXPECT_EQ(l_usage.SetBits(), (std::vector<unsigned>{0})) << "unused bits carry no usage";

  EXPECT_FALSE(DecodeWith(DecodeKeyUsage, Tlv(0x04, {0x00, 0x80}), l_usage));
  EXPECT_FALSE(DecodeWith(DecodeKeyUsage, Tlv(0x03, {}), l_usage));
}

TEST(ExtensionValuesTest, ExtendedKeyUsageKeepsOrder) {
  std::vector<std::string> l_oids;
  ASSERT_TRUE(DecodeWith(DecodeExtendedKeyUsage,
                  Seq({test::Oid("1.3.6.1.5.5.7.3.4"), test::Oid("1.3.6.1.5.5.7.3.2")}), l_oids));
  EXPECT_EQ(l_oids, (std::vector<std::string>{"1.3.6.1.5.5.7.3.4", "1.3.6.1.5.5.7.3.2"}));
  EXPECT_FALSE(DecodeWith(DecodeExtendedKeyUsage, Seq({test::Oid("1.2.3"), Tlv(0x05, {})}), l_oids));
}

TEST(ExtensionValuesTest, BasicConstraints) {
  BasicConstraints l_value;
  ASSERT_TRUE(DecodeWith(DecodeBasicConstraints, Seq({}), l_value));
  EXPECT_FALSE(l_value.is_ca);
  EXPECT_FALSE(l_value.has_path_length);
  ASSERT_TRUE(DecodeWith(DecodeBasicConstraints, Seq({Tlv(0x01, {0xFF}), Tlv(0x02, {0x00})}), l_value));
  EXPECT_TRUE(l_value.is_ca);
  EXPECT_TRUE(l_value.has_path_length);
  EXPECT_EQ(l_value.path_length, 0u);
  EXPECT_FALSE(DecodeWith(DecodeBasicConstraints, Seq({Tlv(0x01, {0xFF}), Tlv(0x02, {0xFF})}), l_value));
  EXPECT_FALSE(DecodeWith(DecodeBasicConstraints, Seq({Tlv(0x02, {0x01}), Tlv(0x01, {0xFF})}), l_value));
}

TEST(ExtensionValuesTest, KeyIdentifiers) {
  AuthorityKeyId l_authority;
  ASSERT_TRUE(DecodeWith(DecodeAuthorityKeyId,
                  Seq({Tlv(0x80, {0xAB, 0xCD}),
                       Tlv(0xA1, Tlv(0xA4, Seq({test::Rdn("2.5.4.3", test::Printable("CA"))}))),
                       Tlv(0x82, {0x01, 0x02})}),
                  l_authority));
  EXPECT_EQ(l_authority.key_id, (Bytes{0xAB, 0xCD}));
  ASSERT_EQ(l_authority.issuer.size(), 1u);
  EXPECT_EQ(RenderName(l_authority.issuer[0].directory_name, RdnOrder::kAsEncoded), L"CN=CA");
  EXPECT_TRUE(l_authority.has_serial_number);
  EXPECT_EQ(l_authority.serial_number, (Bytes{0x01, 0x02}));

  ASSERT_TRUE(DecodeWith(DecodeAuthorityKeyId, Seq({Tlv(0x80, {0x01})}), l_authority));
  EXPECT_FALSE(l_authority.has_issuer);
  EXPECT_FALSE(l_authority.has_serial_number);
  EXPECT_FALSE(DecodeWith(DecodeAuthorityKeyId, Seq({Tlv(0x82, {0x01}), Tlv(0x80, {0x01})}), l_authority));

  Bytes l_subject;
  ASSERT_TRUE(DecodeWith(DecodeSubjectKeyId, Tlv(0x04, {0x12, 0x34}), l_subject));
  EXPECT_EQ(l_subject, (Bytes{0x12, 0x34}));
  EXPECT_FALSE(DecodeWith(DecodeSubjectKeyId, Tlv(0x03, {0x00, 0x12}), l_subject));
}

TEST(CertificatePoliciesTest, ReadsCpsAndUserNoticeQualifiers) {
  const Bytes l_der = Seq({Seq({test::Oid("1.2.392.1"),
                                Seq({Seq({test::Oid("1.3.6.1.5.5.7.2.1"), test::Text(0x16, "http://cps")}),
                                     Seq({test::Oid("1.3.6.1.5.5.7.2.2"),
                                          Seq({Seq({test::Utf8("Org"), Seq({Tlv(0x02, {0x01})})}),
                                               Tlv(0x1E, {0x30, 0x42, 0x00, 0x21})})}),
                                     Seq({test::Oid("1.2.3"), Tlv(0x04, {0x09})})})}),
                           Seq({test::Oid("1.2.392.2")})});
  std::vector<PolicyInformation> l_policies;
  ASSERT_TRUE(DecodeWith(DecodeCertificatePolicies, l_der, l_policies));
  ASSERT_EQ(l_policies.size(), 2u);
  EXPECT_EQ(l_policies[0].policy_oid, "1.2.392.1");
  ASSERT_EQ(l_policies[0].qualifiers.size(), 3u);
  EXPECT_EQ(l_policies[0].qualifiers[0].text, L"http://cps");
  EXPECT_EQ(l_policies[0].qualifiers[0].qualifier_tag, 0x16);
  EXPECT_EQ(l_policies[0].qualifiers[1].text, std::wstring({wchar_t(0x3042), L'!'}));
  EXPECT_EQ(l_policies[0].qualifiers[1].notice_organization, L"Org");
  EXPECT_EQ(l_policies[0].qualifiers[2].qualifier_der, (Bytes{0x04, 0x01, 0x09}));
  EXPECT_TRUE(l_policies[1].qualifiers.empty());

  const Bytes l_bad_notice = Seq({Seq({test::Oid("1.2.392.1"),
                                       Seq({Seq({test::Oid("1.3.6.1.5.5.7.2.2"), Tlv(0x04, {})})})})});
  EXPECT_FALSE(DecodeWith(DecodeCertificatePolicies, l_bad_notice, l_policies));
}

TEST(CrlDistributionPointsTest, ReadsFullAndRelativeNames) {
  const Bytes l_der =
      Seq({Seq({Tlv(0xA0, Tlv(0xA0, test::Cat({Tlv(0x86, {'u'}),
                                                Tlv(0xA4, Seq({test::Rdn("2.5.4.3", test::Printable("CRL"))}))})))}),
           Seq({Tlv(0xA0, Tlv(0xA1, test::Attr("2.5.4.3", test::Printable("R")))), Tlv(0x81, {0x07, 0x80})})});
  std::vector<DistributionPoint> l_points;
  ASSERT_TRUE(DecodeWith(DecodeCrlDistributionPoints, l_der, l_points));
  ASSERT_EQ(l_points.size(), 2u);
  EXPECT_TRUE(l_points[0].point_name_is_full);
  ASSERT_EQ(l_points[0].full_name.size(), 2u);
  EXPECT_EQ(RenderName(l_points[0].full_name[1].directory_name, RdnOrder::kAsEncoded), L"CN=CRL");
  EXPECT_TRUE(l_points[1].has_point_name);
  EXPECT_FALSE(l_points[1].point_name_is_full);
  ASSERT_EQ(l_points[1].relative_name.size(), 1u);
  EXPECT_EQ(l_points[1].relative_name[0].text, L"R");
  EXPECT_TRUE(l_points[1].has_reasons);

  EXPECT_FALSE(DecodeWith(DecodeCrlDistributionPoints, Seq({Seq({Tlv(0xA0, Tlv(0xA2, {}))})}), l_points));
}

TEST(ExtensionValuesTest, DecodesTheExtensionsOpenSslWrote) {
  ParsedCertificate l_cert;
  ASSERT_TRUE(DecodeCertificate(kOpenSslCertificate, sizeof kOpenSslCertificate, l_cert));
  auto l_value = [&l_cert](const char* in_l_oid) {
    const Extension* l_extension = FindExtension(l_cert, in_l_oid);
    return l_extension == nullptr ? Bytes{} : l_extension->value;
  };
  GeneralNames l_names;
  ASSERT_TRUE(DecodeWith(DecodeGeneralNames, l_value(oid::kSubjectAltName), l_names));
  ASSERT_EQ(l_names.size(), 3u);
  EXPECT_EQ(RenderName(l_names[0].directory_name, RdnOrder::kAsEncoded),
            L"C=JP, O=First Org, O=Second Org, OU=Unit, CN=Representative");
  EXPECT_EQ(l_names[1].other_name.type_oid, "1.2.392.200149.8.5.5.1");
  EXPECT_EQ(l_names[1].other_name.text,
            std::wstring({wchar_t(0x5C71), wchar_t(0x7530), L' ', wchar_t(0x592A), wchar_t(0x90CE)}));
  EXPECT_EQ(l_names[2].text, L"sample@example.jp");
  ASSERT_TRUE(DecodeWith(DecodeGeneralNames, l_value(oid::kIssuerAltName), l_names));
  ASSERT_EQ(l_names.size(), 1u);
  EXPECT_EQ(RenderName(l_names[0].directory_name, RdnOrder::kReversed), L"OU=Alt Unit, O=Alt Org");

  std::vector<std::string> l_usages;
  ASSERT_TRUE(DecodeWith(DecodeExtendedKeyUsage, l_value(oid::kExtendedKeyUsage), l_usages));
  EXPECT_EQ(l_usages, (std::vector<std::string>{"1.3.6.1.5.5.7.3.2", "1.3.6.1.5.5.7.3.4"}));
  BasicConstraints l_constraints;
  l_constraints.is_ca = true;
  ASSERT_TRUE(DecodeWith(DecodeBasicConstraints, l_value(oid::kBasicConstraints), l_constraints));
  EXPECT_FALSE(l_constraints.is_ca);
  AuthorityKeyId l_authority;
  ASSERT_TRUE(DecodeWith(DecodeAuthorityKeyId, l_value(oid::kAuthorityKeyIdentifier), l_authority));
  EXPECT_EQ(l_authority.key_id.size(), 20u);
  ASSERT_EQ(l_authority.issuer.size(), 1u);
  EXPECT_EQ(RenderName(l_authority.issuer[0].directory_name, RdnOrder::kAsEncoded),
            L"C=JP, O=Corvane Authority, OU=OfficialStatusCA");
  Bytes l_key_id;
  ASSERT_TRUE(DecodeWith(DecodeSubjectKeyId, l_value(oid::kSubjectKeyIdentifier), l_key_id));
  EXPECT_EQ(l_key_id.size(), 20u);

  std::vector<PolicyInformation> l_policies;
  ASSERT_TRUE(DecodeWith(DecodeCertificatePolicies, l_value(oid::kCertificatePolicies), l_policies));
  ASSERT_EQ(l_policies.size(), 1u);
  EXPECT_EQ(l_policies[0].policy_oid, "1.2.392.200001.1.2.3");
  ASSERT_EQ(l_policies[0].qualifiers.size(), 2u);
  EXPECT_EQ(l_policies[0].qualifiers[0].text, L"http://example.jp/cps");
  EXPECT_EQ(l_policies[0].qualifiers[1].notice_organization, L"Notice Org");
  EXPECT_EQ(l_policies[0].qualifiers[1].text,
            std::wstring({wchar_t(0x5229), wchar_t(0x7528), wchar_t(0x8005), wchar_t(0x544A),
                          wchar_t(0x77E5)}));

  std::vector<DistributionPoint> l_points;
  ASSERT_TRUE(DecodeWith(DecodeCrlDistributionPoints, l_value(oid::kCrlDistributionPoints), l_points));
  ASSERT_EQ(l_points.size(), 1u);
  ASSERT_EQ(l_points[0].full_name.size(), 2u);
  EXPECT_EQ(l_points[0].full_name[0].text, L"http://example.jp/crl");
  EXPECT_EQ(RenderName(l_points[0].full_name[1].directory_name, RdnOrder::kReversed),
            L"OU=CRL Point, O=Corvane Authority, C=JP");
}

}  // namespace
}  // namespace x509
}  // namespace tavc
