// GpkiApCertificate: the issuer check and every display text of the GPKI
// confirmation screen.
#include <gtest/gtest.h>

#include "host/cert/gpki_ap_certificate.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/cert/cert_builder.h"
#include "tests/unit/cert/tokyo_time_zone.h"

namespace tavc {
namespace {

using namespace cert_test;

#include "tests/unit/cert/fixtures/gpki_certificate.inc"

const NameSpec kGpkiIssuer = {{kC, Printable("JP")}, {kO, Utf8("Corvane Authority")}, {kOu, Utf8("OfficialStatusCA")}};

class GpkiApCertificateTest : public ::testing::Test {
 protected:
  GpkiApCertificateTest() { m_store_.SetCertificateType(L"019"); }

  int Detail(const Bytes& in_l_der) {
    m_cert_.SetCertificateHex(HexOfDer(in_l_der));
    return m_cert_.ReadCertificateDetail();
  }
  // A certificate of the GPKI issuer with these extensions.
  int DetailWith(const std::vector<Bytes>& in_l_extensions) {
    CertificateParts l_parts;
    l_parts.issuer = Name(kGpkiIssuer);
    l_parts.extensions = in_l_extensions;
    return Detail(l_parts.Build());
  }

  test::ScriptedSCardApi m_api_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
  GpkiApCertificate m_cert_{&m_store_, &m_result_, &m_error_, m_api_};
};

const Bytes kFixture(kGpkiCertificate, kGpkiCertificate + sizeof kGpkiCertificate);

TEST_F(GpkiApCertificateTest, CardCertificateFillsEveryDisplayText) {
  ASSERT_EQ(0, Detail(kFixture));
  EXPECT_EQ(L"019", m_cert_.GetCertificateType());
  EXPECT_EQ(L"V3", m_cert_.GetGpkiVersion());
  EXPECT_EQ(L"0080a1", m_cert_.GetGpkiSerialNumber());
  EXPECT_EQ(L"sha256WithRSAEncryption", m_cert_.GetGpkiSignatureAlgorithm());
  EXPECT_EQ(L"OU=OfficialStatusCA, O=Corvane Authority, C=JP", m_cert_.GetGpkiIssuer());
  EXPECT_EQ(L"C=JP, O=Japanese Government, OU=Digital Agency, CN=Yamada Taro, E=taro@example.jp",
            m_cert_.GetGpkiSubject());
  const std::wstring l_key = m_cert_.GetGpkiSubjectPublicKey();
  EXPECT_EQ(540U, l_key.size());
  EXPECT_EQ(0U, l_key.find(L"3082010A0282010100B554051FA97687A077BF"));
  EXPECT_EQ(l_key.size() - 14, l_key.rfind(L"DB090203010001"));
  EXPECT_EQ(L"rsaEncryption(2048bits)", m_cert_.GetGpkiSubjectPublicKeyAlgorithm());
  EXPECT_EQ(L"critical FALSE, keyIdentifier=B838330AF69DA95A07205DA696E8F8562E4E3BD1",
            m_cert_.GetGpkiCertAuthorityKeyId());
  EXPECT_EQ(L"critical FALSE, C7BC46F76BF50AF5A0EB799928BA9242B8561AA9", m_cert_.GetGpkiSubjectKeyId());
  EXPECT_EQ(L"critical TRUE, digitalSignature,nonRepudiation", m_cert_.GetGpkiKeyUsage());
  EXPECT_EQ(L"critical FALSE, [1]certificatePolicies:, policyIdentifier=1.2.392.100300.1.1.3, "
            L"[1,1]policyQualifiers:, policyQualifierId=CPS, qualifier=https://repository.example.jp/cps"
            L"[2,1]policyQualifiers:, policyQualifierId=CPS, qualifier=https://repository.example.jp/cps2",
            m_cert_.GetGpkiCertPolicies());
  EXPECT_EQ(L"critical FALSE, directoryName:, CN=\"Yamada, Taro\", OU=Digital Agency, O=Japanese Government, C=JP",
            m_cert_.GetGpkiSubjectAltName());
  EXPECT_EQ(L"critical FALSE, directoryName:, OU=OfficialStatusCA, O=Corvane Authority, C=JP",
            m_cert_.GetGpkiIssuerAltName());
  EXPECT_EQ(L"critical FALSE, [1]cRLDistributionPoints:, DistributionPointName:, fullName:, directoryName:, "
            L"CN=CRL1, OU=OfficialStatusCA, O=Corvane Authority, C=JP"
            L"[2]cRLDistributionPoints:, DistributionPointName:, fullName:, ",
            m_cert_.GetGpkiCrlDistPoint());
  EXPECT_EQ(L"critical TRUE, Subject Type=Not, Path Length Constraint=None", m_cert_.GetGpkiBasicConstraints());
  EXPECT_EQ(L"critical FALSE, clientAuth,eMailProtection", m_cert_.GetGpkiEnhancedKeyUsage());
  EXPECT_EQ(L"7C23B78FBE424FEA7EB44B0CF4AE20B808AD50CC737230792FA10223093B77F2", m_cert_.GetGpkiFingerPrint());
  EXPECT_EQ(L"", m_error_.GetCode());
}

TEST_F(GpkiApCertificateTest, ValidityIsShownInLocalTime) {
  const TokyoTimeZone l_zone;
  if (!TokyoTimeZone::Active()) GTEST_SKIP() << "the system time zone is not UTC+9";
  ASSERT_EQ(0, Detail(kFixture));
  // 2024-02-29 15:00:00 UTC is the next day in Tokyo.
  EXPECT_EQ(L"2024年3月1日0時00分00秒", m_cert_.GetGpkiNotBeforeDateTime());
  EXPECT_EQ(L"2029年12月31日23時59分59秒", m_cert_.GetGpkiNotAfterDateTime());
  ASSERT_EQ(0, DetailWith({}));
  EXPECT_EQ(L"2024年3月1日18時05分07秒", m_cert_.GetGpkiNotBeforeDateTime());
  EXPECT_EQ(L"2050年1月1日9時00分00秒", m_cert_.GetGpkiNotAfterDateTime());
}

TEST_F(GpkiApCertificateTest, OtherIssuersAreRefusedAndNothingIsShown) {
  CertificateParts l_parts;
  l_parts.issuer = Name({{kC, Printable("JP")}, {kO, Utf8("Corvane Authority")}, {kOu, Utf8("Ministry of Justice")}});
  EXPECT_EQ(1, Detail(l_parts.Build()));
  EXPECT_EQ(L"EW044-4199", m_error_.GetCode());
  EXPECT_EQ(L"", m_error_.GetDetail1());
  EXPECT_EQ(L"", m_cert_.GetGpkiVersion());
  EXPECT_EQ(L"", m_cert_.GetGpkiSubject());
  EXPECT_EQ(L"", m_cert_.GetCertificateType());

  EXPECT_EQ(0, GpkiApCertificate::CheckIssuer(L"JP", L"Corvane Authority", L"TestOfficialStatusCA"));
  EXPECT_EQ(1, GpkiApCertificate::CheckIssuer(L"JP", L"Corvane Authority ", L"OfficialStatusCA"));
  EXPECT_EQ(1, GpkiApCertificate::CheckIssuer(L"JA", L"Corvane Authority", L"OfficialStatusCA"));
  EXPECT_EQ(1, GpkiApCertificate::CheckIssuer(L"JP", L"Corvane Authority", L"officialStatusCA"));
  m_cert_.SetCertificateHex(L"30");
  EXPECT_EQ(1, m_cert_.ReadCertificateDetail()) << "an unreadable certificate has no GPKI issuer";
}

TEST_F(GpkiApCertificateTest, ASecondCertificateKeepsNothingOfTheFirst) {
  ASSERT_EQ(0, Detail(kFixture));
  ASSERT_NE(L"", m_cert_.GetGpkiKeyUsage());
  ASSERT_EQ(0, DetailWith({}));
  EXPECT_EQ(L"01a2", m_cert_.GetGpkiSerialNumber());
  EXPECT_EQ(L"", m_cert_.GetGpkiKeyUsage());
  EXPECT_EQ(L"", m_cert_.GetGpkiCertPolicies());
  EXPECT_EQ(L"", m_cert_.GetGpkiSubjectAltName());
  EXPECT_EQ(L"", m_cert_.GetGpkiCrlDistPoint());
  EXPECT_NE(L"7C23B78FBE424FEA7EB44B0CF4AE20B808AD50CC737230792FA10223093B77F2", m_cert_.GetGpkiFingerPrint());
  EXPECT_EQ(64U, m_cert_.GetGpkiFingerPrint().size());
}

TEST_F(GpkiApCertificateTest, KeyUsageNamesInTheirFixedOrder) {
  ASSERT_EQ(0, DetailWith({Extension("2.5.29.15", true, Tlv(0x03, {0x07, 0xFF, 0x80}))}));
  EXPECT_EQ(L"critical TRUE, dataEncipherment,digitalSignature,keyAgreement,keyCertSign,keyEncipherment,"
            L"nonRepudiation,cRLSign,decipherOnly",
            m_cert_.GetGpkiKeyUsage());
  ASSERT_EQ(0, DetailWith({Extension("2.5.29.15", false, Tlv(0x03, {0x00, 0x01}))}));
  EXPECT_EQ(L"critical FALSE, ", m_cert_.GetGpkiKeyUsage()) << "encipherOnly is not shown";
  ASSERT_EQ(0, DetailWith({Extension("2.5.29.15", false, Tlv(0x03, {0x01, 0x26}))}));
  EXPECT_EQ(L"critical FALSE, keyCertSign,keyEncipherment,cRLSign", m_cert_.GetGpkiKeyUsage());
  ASSERT_EQ(0, DetailWith({Extension("2.5.29.15", false, Tlv(0x04, {0x01, 0x26}))}));
  EXPECT_EQ(L"", m_cert_.GetGpkiKeyUsage()) << "not a bit string";
}

TEST_F(GpkiApCertificateTest, ModulusSizeLeavesOutTheSignByte) {
  CertificateParts l_parts;
  l_parts.issuer = Name(kGpkiIssuer);
  l_parts.key = x509::test::RsaKeyInfo(256, true);
  ASSERT_EQ(0, Detail(l_parts.Build()));
  EXPECT_EQ(L"rsaEncryption(2048bits)", m_cert_.GetGpkiSubjectPublicKeyAlgorithm());
  l_parts.key = x509::test::RsaKeyInfo(128, true);
  ASSERT_EQ(0, Detail(l_parts.Build()));
  EXPECT_EQ(L"rsaEncryption(1024bits)", m_cert_.GetGpkiSubjectPublicKeyAlgorithm());
  // A key bit string that is no RSAPublicKey still names the algorithm.
  l_parts.key = Seq({Seq({x509::test::Oid("1.2.840.113549.1.1.1"), Tlv(0x05, {})}), Tlv(0x03, {0x00, 0x30, 0x05})});
  ASSERT_EQ(0, Detail(l_parts.Build()));
  EXPECT_EQ(L"rsaEncryption", m_cert_.GetGpkiSubjectPublicKeyAlgorithm());
  l_parts.key = Seq({Seq({x509::test::Oid("1.2.840.10045.2.1"), x509::test::Oid("1.2.840.10045.3.1.7")}),
                     Tlv(0x03, {0x00, 0x04, 0x01, 0x02})});
  ASSERT_EQ(0, Detail(l_parts.Build()));
  EXPECT_EQ(L"1.2.840.10045.2.1", m_cert_.GetGpkiSubjectPublicKeyAlgorithm());
  EXPECT_EQ(L"040102", m_cert_.GetGpkiSubjectPublicKey());
}

TEST_F(GpkiApCertificateTest, NamesBasicConstraintsAndUsages) {
  CertificateParts l_parts;
  l_parts.issuer = Name({{kC, Printable("JP")}, {kO, Utf8("Corvane Authority")}, {kOu, Utf8("TestOfficialStatusCA")},
                         {kCn, Utf8("Sub CA")}});
  l_parts.subject = Name({{kC, Printable("JP")}, {"2.5.4.97", Utf8("NTRJP-123")}, {"2.5.4.8", Utf8("Tokyo")}});
  l_parts.algorithm = Seq({x509::test::Oid("1.2.840.113549.1.1.5"), Tlv(0x05, {})});
  l_parts.extensions = {
      Extension("2.5.29.19", true, Seq({Tlv(0x01, {0xFF}), Tlv(0x02, {0x00})})),
      Extension("2.5.29.37", true,
                Seq({x509::test::Oid("1.2.3.4"), x509::test::Oid("1.3.6.1.5.5.7.3.9"),
                     x509::test::Oid("1.3.6.1.5.5.7.3.1"), x509::test::Oid("1.3.6.1.5.5.7.3.10")})),
      SubjectAltName({DirectoryNameEntry({{kC, Printable("JP")}, {kCn, Utf8(" Lead \"Q\" ")}})}, true),
      IssuerAltName({OtherNameEntry("1.2.3", Utf8("x"))}),
  };
  ASSERT_EQ(0, Detail(l_parts.Build()));
  EXPECT_EQ(L"1.2.840.113549.1.1.5", m_cert_.GetGpkiSignatureAlgorithm());
  EXPECT_EQ(L"Sub CA, OU=TestOfficialStatusCA, O=Corvane Authority, C=JP", m_cert_.GetGpkiIssuer());
  EXPECT_EQ(L"C=JP, =NTRJP-123, S=Tokyo", m_cert_.GetGpkiSubject());
  EXPECT_EQ(L"critical TRUE, Subject Type=CA, Path Length Constraint=0", m_cert_.GetGpkiBasicConstraints());
  EXPECT_EQ(L"critical TRUE, oCSPSigning,serverAuth", m_cert_.GetGpkiEnhancedKeyUsage());
  EXPECT_EQ(L"critical TRUE, directoryName:, CN=\" Lead \"\"Q\"\" \", C=JP", m_cert_.GetGpkiSubjectAltName());
  EXPECT_EQ(L"", m_cert_.GetGpkiIssuerAltName()) << "the first entry is no directory name";
  EXPECT_EQ(L"", m_cert_.GetGpkiCertAuthorityKeyId());
}

TEST_F(GpkiApCertificateTest, MalformedExtensionsLeaveOnlyTheirOwnTextEmpty) {
  ASSERT_EQ(0, DetailWith({
                   Extension("2.5.29.32", false, Seq({})),                          // no policy
                   Extension("2.5.29.31", false, Tlv(0x30, {0x30, 0x84, 0x7F, 0xFF, 0xFF, 0xFF})),  // huge
                   Extension("2.5.29.19", false, Seq({Tlv(0x02, {0xFF})})),         // negative path length
                   Extension("2.5.29.14", false, Tlv(0x04, {0xAB, 0xCD})),
                   Extension("2.5.29.35", false, Seq({Tlv(0x80, {0x12})})),
               }));
  EXPECT_EQ(L"", m_cert_.GetGpkiCertPolicies());
  EXPECT_EQ(L"", m_cert_.GetGpkiCrlDistPoint());
  EXPECT_EQ(L"", m_cert_.GetGpkiBasicConstraints());
  EXPECT_EQ(L"critical FALSE, ABCD", m_cert_.GetGpkiSubjectKeyId());
  EXPECT_EQ(L"critical FALSE, keyIdentifier=12", m_cert_.GetGpkiCertAuthorityKeyId());
  EXPECT_EQ(64U, m_cert_.GetGpkiFingerPrint().size());
}

}  // namespace
}  // namespace tavc
