#include <gtest/gtest.h>

#include "host/cert/x509/extension_values.h"
#include "host/cert/x509/name_text.h"
#include "host/cert/x509/parsed_certificate.h"
#include "host/cert/x509/x509_oids.h"
#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace x509 {
namespace {

#include "tests/unit/x509/fixtures/openssl_certificate.inc"

using test::Bytes;
using test::CertificateParts;
using test::Seq;
using test::Tlv;

bool Decode(const Bytes& in_l_der, ParsedCertificate& out_l_certificate) {
  return DecodeCertificate(in_l_der.data(), in_l_der.size(), out_l_certificate);
}

TEST(CertificateDecoderTest, ReadsTheCertificateOpenSslIssued) {
  ParsedCertificate l_cert;
  ASSERT_TRUE(DecodeCertificate(kOpenSslCertificate, sizeof kOpenSslCertificate, l_cert));
  EXPECT_EQ(l_cert.version, 2u);
  EXPECT_EQ(l_cert.serial_number, (Bytes{0x01, 0xA2}));
  EXPECT_EQ(l_cert.signature_algorithm.oid, "1.2.840.113549.1.1.11");
  EXPECT_EQ(l_cert.outer_signature_algorithm.oid, "1.2.840.113549.1.1.11");
  EXPECT_EQ(RenderName(l_cert.issuer, RdnOrder::kReversed),
            L"OU=OfficialStatusCA, O=Corvane Authority, C=JP");
  EXPECT_EQ(RenderName(l_cert.subject, RdnOrder::kAsEncoded),
            L"C=JP, S=Tokyo, L=Chiyoda-ku, O=Sample Org, CN=\"Sample, \"\"Quoted\"\" Person\"");
  EXPECT_EQ(l_cert.not_after.year - l_cert.not_before.year, 1);
  EXPECT_EQ(l_cert.public_key.algorithm.oid, kOidRsaEncryption);
  EXPECT_TRUE(l_cert.public_key.has_rsa_key);
  EXPECT_EQ(l_cert.public_key.rsa_modulus_bits, 2048u);
  EXPECT_EQ(l_cert.public_key.rsa_exponent, (Bytes{0x01, 0x00, 0x01}));
  EXPECT_EQ(l_cert.signature.size(), 256u);
  EXPECT_EQ(l_cert.der, Bytes(kOpenSslCertificate, kOpenSslCertificate + sizeof kOpenSslCertificate));
  ASSERT_GE(l_cert.tbs_der.size(), 4u);
  EXPECT_EQ(l_cert.tbs_der[0], 0x30);

  ASSERT_EQ(l_cert.extensions.size(), 10u);
  const Extension* l_usage = FindExtension(l_cert, oid::kKeyUsage);
  ASSERT_NE(l_usage, nullptr);
  EXPECT_TRUE(l_usage->critical);
  KeyUsage l_bits;
  ASSERT_TRUE(DecodeKeyUsage(l_usage->value.data(), l_usage->value.size(), l_bits));
  EXPECT_EQ(l_bits.SetBits(), (std::vector<unsigned>{0, 1}));
  const Extension* l_eku = FindExtension(l_cert, oid::kExtendedKeyUsage);
  ASSERT_NE(l_eku, nullptr);
  EXPECT_FALSE(l_eku->critical);
  const Extension* l_registrar = FindExtension(l_cert, oid::kRegistrar);
  ASSERT_NE(l_registrar, nullptr);
  EXPECT_EQ(l_registrar->value, test::Utf8("登記官")) << "unknown extensions stay raw";
  EXPECT_EQ(FindExtension(l_cert, "1.2.3.4"), nullptr);
}

TEST(CertificateDecoderTest, SerialNumberKeepsItsEncodedByteOrder) {
  CertificateParts l_parts;
  l_parts.serial = Tlv(0x02, {0x00, 0x80, 0x01, 0xA2});
  ParsedCertificate l_cert;
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  EXPECT_EQ(l_cert.serial_number, (Bytes{0x00, 0x80, 0x01, 0xA2}));

  l_parts.serial = Tlv(0x02, {});
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert));
}

TEST(CertificateDecoderTest, VersionOneHasNoVersionFieldAndOtherVersionsAreChecked) {
  CertificateParts l_parts;
  l_parts.version.clear();
  ParsedCertificate l_cert;
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  EXPECT_EQ(l_cert.version, 0u);
  EXPECT_TRUE(l_cert.extensions.empty());

  l_parts.version = Tlv(0xA0, Tlv(0x02, {0x03}));
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert));
  l_parts.version = Tlv(0xA0, Tlv(0x02, {0xFF}));
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert));
}

TEST(CertificateDecoderTest, RsaModulusSizeIgnoresTheSignByte) {
  CertificateParts l_parts;
  ParsedCertificate l_cert;
  l_parts.key = test::RsaKeyInfo(256, true);  // 257 content bytes
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  EXPECT_EQ(l_cert.public_key.rsa_modulus_bits, 2048u);
  EXPECT_EQ(l_cert.public_key.rsa_modulus.size(), 256u);
  EXPECT_EQ(l_cert.public_key.rsa_modulus[0], 0xC5);

  l_parts.key = test::RsaKeyInfo(256, false);
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  EXPECT_EQ(l_cert.public_key.rsa_modulus_bits, 2048u);

  l_parts.key = test::RsaKeyInfo(128, true);
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  EXPECT_EQ(l_cert.public_key.rsa_modulus_bits, 1024u);
}

TEST(CertificateDecoderTest, AnUnreadableKeyStillGivesTheCertificate) {
  CertificateParts l_parts;
  l_parts.key = Seq({Seq({test::Oid(kOidRsaEncryption)}), Tlv(0x03, {0x00, 0x30, 0x00})});
  ParsedCertificate l_cert;
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  EXPECT_FALSE(l_cert.public_key.has_rsa_key);
  EXPECT_EQ(l_cert.public_key.key, (Bytes{0x30, 0x00}));
}

TEST(CertificateDecoderTest, ExtensionsKeepCriticalityAndOrder) {
  CertificateParts l_parts;
  l_parts.extensions = {test::Extension("2.5.29.15", true, Tlv(0x03, {0x07, 0x80})),
                        test::Extension("1.2.392.100300.1.1.3", false, Seq({}))};
  ParsedCertificate l_cert;
  ASSERT_TRUE(Decode(l_parts.Build(), l_cert));
  ASSERT_EQ(l_cert.extensions.size(), 2u);
  EXPECT_EQ(l_cert.extensions[0].oid, "2.5.29.15");
  EXPECT_TRUE(l_cert.extensions[0].critical);
  EXPECT_EQ(l_cert.extensions[1].oid, "1.2.392.100300.1.1.3");
  EXPECT_FALSE(l_cert.extensions[1].critical);
  EXPECT_EQ(l_cert.extensions[1].value, (Bytes{0x30, 0x00}));

  l_parts.extensions = {Seq({test::Oid("2.5.29.15"), Tlv(0x03, {0x00})})};
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert)) << "value not in an OCTET STRING";
}

TEST(CertificateDecoderTest, EveryTruncationFailsAndLeavesTheOutputAlone) {
  const Bytes l_good(kOpenSslCertificate, kOpenSslCertificate + sizeof kOpenSslCertificate);
  ParsedCertificate l_cert;
  l_cert.version = 77;
  for (std::size_t l_size = 0; l_size < l_good.size(); ++l_size) {
    const Bytes l_cut(l_good.begin(), l_good.begin() + static_cast<std::ptrdiff_t>(l_size));
    ASSERT_FALSE(Decode(l_cut, l_cert)) << l_size;
  }
  EXPECT_EQ(l_cert.version, 77u);
}

TEST(CertificateDecoderTest, RefusesMalformedCertificates) {
  const CertificateParts l_good;
  ParsedCertificate l_cert;
  ASSERT_TRUE(Decode(l_good.Build(), l_cert));

  Bytes l_trailing = l_good.Build();
  l_trailing.push_back(0x00);
  EXPECT_FALSE(Decode(l_trailing, l_cert)) << "trailing garbage";

  CertificateParts l_parts = l_good;
  l_parts.validity = test::Set({test::UtcTime("240301090507Z"), test::UtcTime("250301090507Z")});
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert)) << "validity as a SET";

  l_parts = l_good;
  l_parts.subject = Seq({test::Rdn("2.5.4.3", test::Printable("x")), Tlv(0x31, {})});
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert)) << "empty RDN";

  l_parts = l_good;
  l_parts.issuer = Seq({Seq({test::Attr("2.5.4.3", test::Printable("x"))})});
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert)) << "RDN as a SEQUENCE";

  l_parts = l_good;
  l_parts.subject.clear();
  EXPECT_FALSE(Decode(l_parts.Build(), l_cert)) << "missing subject";

  Bytes l_indefinite = l_good.Build();
  l_indefinite[1] = 0x80;
  EXPECT_FALSE(Decode(l_indefinite, l_cert)) << "indefinite length";

  Bytes l_huge = l_good.Build();
  const Bytes l_huge_header{0x30, 0x84, 0x7F, 0xFF, 0xFF, 0xFF};
  l_huge.erase(l_huge.begin(), l_huge.begin() + 4);
  l_huge.insert(l_huge.begin(), l_huge_header.begin(), l_huge_header.end());
  EXPECT_FALSE(Decode(l_huge, l_cert)) << "length far past the buffer";

  EXPECT_FALSE(DecodeCertificate(nullptr, 100, l_cert));
}

TEST(CertificateDecoderTest, DeepNestingFailsCleanly) {
  Bytes l_bomb;
  for (int l_i = 0; l_i < 100000; ++l_i) l_bomb.push_back(l_i % 2 == 0 ? 0x30 : 0x80);
  ParsedCertificate l_cert;
  EXPECT_FALSE(Decode(l_bomb, l_cert));

  Bytes l_nested = Tlv(0x05, {});
  for (int l_i = 0; l_i < 2000; ++l_i) l_nested = Tlv(0x30, l_nested);
  EXPECT_FALSE(Decode(l_nested, l_cert));
}

}  // namespace
}  // namespace x509
}  // namespace tavc
