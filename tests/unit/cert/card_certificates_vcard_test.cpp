// The virtual cards' certificates read through the card operations and
// parsed into the display fields, in process.
#include <gtest/gtest.h>

#include "common/hex_codec.h"
#include "host/card/access_for_gpki_ap.h"
#include "host/cert/certificate_factory.h"
#include "host/cert/gpki_ap_certificate.h"
#include "tests/support/in_process_card_rig.h"
#include "tests/unit/cert/tokyo_time_zone.h"

namespace tavc {
namespace {

// SHA-256 DigestInfo of an all-zero digest.
const wchar_t kDigestInfo[] =
    L"3031300d0609608648016503040201050004200000000000000000000000000000000000000000000000000000000000000000";

class CardCertificates : public ::testing::Test {
 protected:
  void Start(test::CardKind in_l_kind) {
    std::string l_error;
    ASSERT_TRUE(m_rig_.Start({{in_l_kind}}, &l_error)) << l_error;
  }
  void TearDown() override { EXPECT_EQ(0U, m_rig_.OpenHandles()); }

  test::InProcessCardRig m_rig_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
};

TEST_F(CardCertificates, SignatureCertificateGivesThePersonalItems) {
  Start(test::CardKind::kMyNumber);
  m_store_.SetMode(L"02");
  m_store_.SetPassword(L"ABC123");
  m_store_.SetDigest(kDigestInfo);
  std::unique_ptr<Certificate> l_cert =
      CertificateFactory::CreateCertificate(&m_store_, &m_result_, &m_error_, m_rig_.Api());
  ASSERT_NE(nullptr, l_cert);
  ASSERT_EQ(0, l_cert->ReadCertificate()) << m_error_.GetCode();
  EXPECT_EQ(L"", m_store_.GetPassword());
  const std::vector<std::uint8_t> l_der = m_rig_.Certificate(0, "sign");
  EXPECT_EQ(BytesToHex(l_der.data(), l_der.size(), HexCase::kLower), l_cert->GetCertificateHex());

  ASSERT_EQ(0, l_cert->ReadCertificateDetail()) << m_error_.GetCode();
  EXPECT_EQ(L"001", l_cert->GetCertificateType());
  EXPECT_EQ(L"JP JPKI JPKI for digital signature Japan Agency for Local Authority Information Systems",
            l_cert->GetIssuer());
  EXPECT_EQ(L"JP Tokyo-to Chiyoda-ku 98765432109876543210XYZ", l_cert->GetSubject());
  EXPECT_EQ(L"公的個人認証サービス 公的個人認証サービス署名用 地方公共団体情報システム機構", l_cert->GetIssuerAltName());
  EXPECT_EQ(L"番号\u3000花子", l_cert->GetSubjectAltName());
  EXPECT_EQ(L"319850415", l_cert->GetDateOfBirth());
  EXPECT_EQ(L"2", l_cert->GetGender());
  EXPECT_EQ(L"東京都千代田区霞が関２丁目１番２号", l_cert->GetSubjectAddress());

  ASSERT_EQ(0, l_cert->ComputeSignature()) << m_error_.GetCode();
  ASSERT_EQ(1U, l_cert->GetSignatures().size());
  EXPECT_EQ(512U, l_cert->GetSignatures()[0].size());
  l_cert->ReleaseResource();
}

TEST_F(CardCertificates, AuthenticationCertificateHasNoPersonalItems) {
  Start(test::CardKind::kMyNumber);
  m_store_.SetMode(L"01");
  m_store_.SetCertificateType(L"000");
  m_store_.SetPassword(L"1234");
  std::unique_ptr<Certificate> l_cert =
      CertificateFactory::CreateCertificate(&m_store_, &m_result_, &m_error_, m_rig_.Api());
  ASSERT_NE(nullptr, l_cert);
  ASSERT_EQ(0, l_cert->ReadCertificate()) << m_error_.GetCode();
  ASSERT_EQ(0, l_cert->ReadCertificateDetail()) << m_error_.GetCode();
  EXPECT_EQ(L"000", l_cert->GetCertificateType());
  EXPECT_EQ(L"JP JPKI JPKI for user authentication Japan Agency for Local Authority Information Systems",
            l_cert->GetIssuer());
  // No localities: both required L entries leave an empty slot.
  EXPECT_EQ(L"JP   01234567890123456789ABC", l_cert->GetSubject());
  EXPECT_EQ(L"", l_cert->GetSubjectAltName());
  l_cert->ReleaseResource();
}

TEST_F(CardCertificates, GpkiCardCertificatesFillTheDisplayTexts) {
  Start(test::CardKind::kGpki);
  const cert_test::TokyoTimeZone l_zone;
  m_store_.SetMode(L"12");
  m_store_.SetCertificateType(L"019");
  m_store_.SetPassword(L"GPKI1234");
  AccessForGpkiAp l_access(m_rig_.Api());
  ASSERT_EQ(0, l_access.EstablishCardSession(&m_error_, &m_store_, &m_result_));
  ASSERT_EQ(0, l_access.CheckCardPassword()) << m_error_.GetCode();
  std::unique_ptr<Certificate> l_objects[2];
  for (int l_type = 0; l_type < 2; ++l_type) {
    m_store_.SetGpkiCertificateType(l_type);
    ASSERT_EQ(0, l_access.GetCertificate()) << m_error_.GetCode();
    l_objects[l_type] = CertificateFactory::CreateCertificate(&m_store_, &m_result_, &m_error_, m_rig_.Api());
    ASSERT_NE(nullptr, l_objects[l_type]);
    l_objects[l_type]->SetCertificateHex(m_result_.GetCertificate());
    ASSERT_EQ(0, l_objects[l_type]->ReadCertificateDetail()) << m_error_.GetCode();
  }
  l_access.ReleaseCardSession();

  const auto& l_user = dynamic_cast<const GpkiApCertificate&>(*l_objects[0]);
  EXPECT_EQ(L"V3", l_user.GetGpkiVersion());
  EXPECT_EQ(l_user.GetSerialNumber(), l_user.GetGpkiSerialNumber());
  EXPECT_FALSE(l_user.GetGpkiSerialNumber().empty());
  EXPECT_EQ(L"sha256WithRSAEncryption", l_user.GetGpkiSignatureAlgorithm());
  EXPECT_EQ(L"OU=OfficialStatusCA, O=Corvane Authority, C=JP", l_user.GetGpkiIssuer());
  EXPECT_EQ(L"C=JP, O=Japanese Government, OU=Digital Agency, CN=Yamada Taro", l_user.GetGpkiSubject());
  EXPECT_EQ(L"rsaEncryption(2048bits)", l_user.GetGpkiSubjectPublicKeyAlgorithm());
  EXPECT_EQ(540U, l_user.GetGpkiSubjectPublicKey().size());
  EXPECT_EQ(0U, l_user.GetGpkiCertAuthorityKeyId().find(L"critical FALSE, keyIdentifier="));
  EXPECT_EQ(0U, l_user.GetGpkiSubjectKeyId().find(L"critical FALSE, "));
  EXPECT_EQ(L"critical TRUE, digitalSignature,nonRepudiation", l_user.GetGpkiKeyUsage());
  EXPECT_EQ(L"critical FALSE, [1]certificatePolicies:, policyIdentifier=1.2.392.100300.1.1.3, "
            L"[1,1]policyQualifiers:, policyQualifierId=CPS, qualifier=https://repository.example.jp/cps",
            l_user.GetGpkiCertPolicies());
  EXPECT_EQ(L"critical FALSE, directoryName:, CN=Yamada Taro, OU=Digital Agency, O=Japanese Government, C=JP",
            l_user.GetGpkiSubjectAltName());
  EXPECT_EQ(L"critical FALSE, directoryName:, OU=OfficialStatusCA, O=Corvane Authority, C=JP",
            l_user.GetGpkiIssuerAltName());
  EXPECT_EQ(L"critical FALSE, [1]cRLDistributionPoints:, DistributionPointName:, fullName:, directoryName:, "
            L"CN=CRL1, OU=OfficialStatusCA, O=Corvane Authority, C=JP",
            l_user.GetGpkiCrlDistPoint());
  EXPECT_EQ(L"critical FALSE, Subject Type=Not, Path Length Constraint=None", l_user.GetGpkiBasicConstraints());
  EXPECT_EQ(L"critical FALSE, clientAuth,eMailProtection", l_user.GetGpkiEnhancedKeyUsage());
  EXPECT_EQ(64U, l_user.GetGpkiFingerPrint().size());
  if (cert_test::TokyoTimeZone::Active()) {
    EXPECT_NE(std::wstring::npos, l_user.GetGpkiNotBeforeDateTime().find(L"年"));
    EXPECT_NE(std::wstring::npos, l_user.GetGpkiNotAfterDateTime().find(L"秒"));
  }

  const auto& l_ca = dynamic_cast<const GpkiApCertificate&>(*l_objects[1]);
  EXPECT_EQ(L"C=JP, O=Corvane Authority, OU=OfficialStatusCA", l_ca.GetGpkiSubject());
  EXPECT_EQ(L"critical TRUE, keyCertSign,cRLSign", l_ca.GetGpkiKeyUsage());
  EXPECT_EQ(0U, l_ca.GetGpkiBasicConstraints().find(L"critical TRUE, Subject Type=CA, "));
  EXPECT_NE(l_user.GetGpkiFingerPrint(), l_ca.GetGpkiFingerPrint());
  for (auto& l_object : l_objects) l_object->ReleaseResource();
}

}  // namespace
}  // namespace tavc
