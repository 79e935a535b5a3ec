// The provider card classes over the issuer catalogue, on a software token
// holding each OpenSSL-made certificate, and the provider failure table.
#include <gtest/gtest.h>

#include <memory>

#include "common/hex_codec.h"
#include "host/cert/card_certificate.h"
#include "host/cert/certificate_factory.h"
#include "host/cert/commercial_certificates.h"
#include "platform/named_event.h"
#include "platform/process_id.h"
#include "platform/software_token.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/cert/test_credentials.h"

namespace tavc {
namespace {

using platform::SoftwareToken;
using Step = SoftwareToken::Step;

class CardCertificateTest : public ::testing::Test {
 protected:
  // A token under the provider of in_l_type holding the credential's certificate.
  void Insert(const std::wstring& in_l_type, const std::string& in_l_credential, bool in_l_signature_key = true,
              bool in_l_exchange_key = false) {
    const ProviderChoice l_provider = CardCertificate::ChooseProvider(in_l_type);
    SoftwareToken::Token l_token;
    l_token.type = l_provider.type;
    l_token.private_key_der = test::CredentialBytes("key.der");
    l_token.certificate_der = test::CredentialBytes(in_l_credential + ".der");
    l_token.has_signature_key = in_l_signature_key;
    l_token.has_exchange_key = in_l_exchange_key;
    m_token_.AddToken(l_provider.name, l_token);
  }

  std::unique_ptr<Certificate> Make(const std::wstring& in_l_type) {
    m_store_.SetCertificateType(in_l_type);
    return CertificateFactory::CreateCertificate(&m_store_, &m_result_, &m_error_,
                                                 CertificateServices{m_scard_, m_token_, platform::SystemPkcs12File()});
  }

  // Reads, parses and signs two digests; the result of the first failing step.
  int ReadAndSign(Certificate& io_l_certificate) {
    int l_result = io_l_certificate.ReadCertificate();
    if (l_result == 0) l_result = io_l_certificate.ReadCertificateDetail();
    if (l_result == 0) l_result = io_l_certificate.ComputeSignature();
    return l_result;
  }

  void ExpectSignaturesVerify(const Certificate& in_l_certificate, const std::string& in_l_credential) {
    ASSERT_EQ(2U, in_l_certificate.GetSignatures().size());
    for (int l_i = 0; l_i < 2; ++l_i) {
      std::vector<std::uint8_t> l_signature;
      ASSERT_TRUE(HexToBytes(in_l_certificate.GetSignatures()[static_cast<std::size_t>(l_i)], l_signature));
      EXPECT_EQ(256U, l_signature.size());
      EXPECT_TRUE(test::VerifiesWith(test::CredentialBytes(in_l_credential + ".der"), test::HashBytes(l_i + 1),
                                     l_signature))
          << in_l_credential << " signature " << l_i;
    }
  }

  void SetUp() override {
    // One bare value and one DigestInfo in hexadecimal: only the last 64 digits count.
    m_store_.SetDigest(test::HashHex(1));
    m_store_.SetDigest(L"3031300d060960864801650304020105000420" + test::HashHex(2));
  }

  SoftwareToken m_token_;
  test::ScriptedSCardApi m_scard_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
};

TEST_F(CardCertificateTest, EveryIssuerOfTheCatalogueReadsChecksAndSigns) {
  struct Row {
    const wchar_t* type;
    const char* credential;
    bool accepted;
  };
  const Row l_rows[] = {
      {L"002", "lgpki", true},           {L"002", "lgpki-test", true},      {L"002", "gpki", false},
      {L"003", "gpki", true},            {L"003", "gpki-test", true},       {L"003", "lgpki", false},
      {L"004", "tdb", true},             {L"004", "tdb-test", true},        {L"004", "toinx", false},
      {L"006", "aosign", true},          {L"006", "aosign-test", true},     {L"006", "wrong-issuer", false},
      {L"007", "houjin", true},          {L"007", "diacert", false},        {L"008", "toinx", true},
      {L"008", "toinx-test", true},      {L"008", "tdb", false},            {L"009", "eprobatio-ps2", true},
      {L"009", "eprobatio-ps2-test", true}, {L"009", "eprobatio-psa", false}, {L"010", "eprobatio-psa", true},
      {L"010", "eprobatio-psa-test", true}, {L"010", "eprobatio-ps2", false}, {L"011", "diacertplus", true},
      {L"011", "diacertplus-test", true}, {L"011", "diacert", false},       {L"012", "diacert", true},
      {L"012", "diacert-test", true},    {L"012", "wrong-country", false},  {L"012", "diacertplus", false},
  };
  for (const Row& l_row : l_rows) {
    SCOPED_TRACE(l_row.credential);
    m_token_.Reset();
    m_error_ = ErrorInfo();
    Insert(l_row.type, l_row.credential);
    std::unique_ptr<Certificate> l_certificate = Make(l_row.type);
    ASSERT_NE(nullptr, l_certificate);
    const int l_result = ReadAndSign(*l_certificate);
    if (l_row.accepted) {
      ASSERT_EQ(0, l_result) << std::string(m_error_.GetCode().begin(), m_error_.GetCode().end());
      EXPECT_EQ(l_row.type, l_certificate->GetCertificateType());
      ExpectSignaturesVerify(*l_certificate, l_row.credential);
    } else {
      EXPECT_EQ(1, l_result);
      EXPECT_EQ(L"EW244-3500", m_error_.GetCode());
      EXPECT_EQ(L"", l_certificate->GetCertificateType());
    }
    l_certificate->ReleaseResource();
    EXPECT_EQ(0, m_token_.OpenHandles());
  }
}

TEST_F(CardCertificateTest, DisplayTextsOfTheIssuerClasses) {
  struct Row {
    const wchar_t* type;
    const char* credential;
    std::wstring (Certificate::*field)() const;
    const wchar_t* expected;
  };
  const Row l_rows[] = {
      {L"006", "aosign", &Certificate::GetSubject, L"JP Tokyo Chiyoda Taro Sample"},
      {L"006", "aosign", &Certificate::GetSubjectAltName, L"Sample Corporation Taro Sample"},
      {L"006", "aosign", &Certificate::GetSubjectAddress, L"Tokyo Chiyoda"},
      {L"006", "aosign-test", &Certificate::GetSubjectAltName, L" "},
      {L"010", "eprobatio-psa", &Certificate::GetRegistrationNumber, L"0000123"},
      {L"010", "eprobatio-psa", &Certificate::GetSubjectAltName, L"Saburo Holder"},
      {L"010", "eprobatio-psa", &Certificate::GetIssuerAltName, L"e-Probatio CA e-Probatio PSA"},
      {L"011", "diacertplus", &Certificate::GetSubjectAltNameProxyEtax, L"ETAX e-Tax proxy"},
      {L"012", "diacert", &Certificate::GetSubjectAddress, L"Osaka"},
      {L"012", "diacert", &Certificate::GetIssuerAltName, L"Issuer Alt Org Issuer Alt Unit"},
      {L"012", "diacert", &Certificate::GetSubjectAltName, L"Diacert Holder Hanako Holder"},
      {L"004", "tdb", &Certificate::GetRepresentativeDirectorName, L"Representative Name"},
      {L"004", "tdb", &Certificate::GetSubject, L"JP Holder Org Holder Unit Holder Name"},
      {L"008", "toinx", &Certificate::GetSubjectAddress, L"Tokyo Chiyoda"},
      {L"007", "houjin", &Certificate::GetSubjectAltName, L"株式会社サンプル"},
      {L"007", "houjin", &Certificate::GetSubjectAddress, L"東京都千代田区霞が関一丁目1番1号"},
      {L"007", "houjin", &Certificate::GetRepresentativeDirectorName, L"見本太郎"},
      {L"007", "houjin", &Certificate::GetRepresentativeDirectorTitle, L"代表取締役"},
      {L"007", "houjin", &Certificate::GetIssuerAltName, L"商業登記認証局の証明書ポリシー 東京法務局"},
      {L"007", "houjin", &Certificate::GetIssuer, L"JP Corvane Authority Ministry of Justice Registry CA"},
      {L"003", "gpki", &Certificate::GetSubjectAltName, L"Official Holder"},
      {L"002", "lgpki", &Certificate::GetSubjectAltName, L"Sample City Section One Section Two Municipal Holder"},
      {L"002", "lgpki", &Certificate::GetIssuerAltName, L"LGPKI Any Unit"},
  };
  for (const Row& l_row : l_rows) {
    SCOPED_TRACE(l_row.credential);
    m_token_.Reset();
    Insert(l_row.type, l_row.credential);
    std::unique_ptr<Certificate> l_certificate = Make(l_row.type);
    ASSERT_EQ(0, l_certificate->ReadCertificate());
    ASSERT_EQ(0, l_certificate->ReadCertificateDetail());
    EXPECT_EQ(l_row.expected, ((*l_certificate).*(l_row.field))());
  }
}

TEST_F(CardCertificateTest, TheSecondProviderServesOnlyTypes002And009) {
  for (const wchar_t* l_type : {L"002", L"009", L"011"}) {
    m_token_.Reset();
    m_error_ = ErrorInfo();
    SoftwareToken::Token l_token;
    l_token.type = 1;
    l_token.private_key_der = test::CredentialBytes("key.der");
    l_token.certificate_der = test::CredentialBytes(std::wstring(l_type) == L"009" ? "eprobatio-ps2.der" : "lgpki.der");
    m_token_.AddToken(L"Microsoft Base Smart Card Crypto Provider", l_token);
    std::unique_ptr<Certificate> l_certificate = Make(l_type);
    if (std::wstring(l_type) == L"011") {
      EXPECT_EQ(1, l_certificate->ReadCertificate());
      EXPECT_EQ(L"EW244-3203", m_error_.GetCode());
      EXPECT_EQ(L"0x80090019", m_error_.GetDetail1());
      EXPECT_EQ(1U, m_token_.AcquiredNames().size());
    } else {
      EXPECT_EQ(0, ReadAndSign(*l_certificate));
      EXPECT_EQ(2U, m_token_.AcquiredNames().size());
      EXPECT_EQ(L"Microsoft Base Smart Card Crypto Provider", m_token_.AcquiredNames()[1]);
    }
    l_certificate->ReleaseResource();
    EXPECT_EQ(0, m_token_.OpenHandles());
  }
}

TEST_F(CardCertificateTest, AnExchangeKeyOnlyContainerSignsWithKeySpec1) {
  Insert(L"006", "aosign", false, true);
  std::unique_ptr<Certificate> l_certificate = Make(L"006");
  ASSERT_EQ(0, ReadAndSign(*l_certificate));
  EXPECT_EQ(1U, static_cast<CardCertificate&>(*l_certificate).GetKeySpec());
  ExpectSignaturesVerify(*l_certificate, "aosign");
}

TEST_F(CardCertificateTest, ATypeOutsideTheTableAsksForNoProvider) {
  Insert(L"006", "aosign");
  std::unique_ptr<Certificate> l_certificate = Make(L"006");
  m_store_.SetCertificateType(L"005");
  EXPECT_EQ(1, l_certificate->ReadCertificate());
  EXPECT_EQ(L"EW244-3203", m_error_.GetCode());
  ASSERT_EQ(1U, m_token_.AcquiredNames().size());
  EXPECT_EQ(L"", m_token_.AcquiredNames()[0]);
}

TEST_F(CardCertificateTest, EveryProviderFailureHasItsCodeAndReleasesAll) {
  struct Row {
    Step step;
    bool in_read;
    const wchar_t* code;
  };
  const Row l_rows[] = {
      {Step::kAcquire, true, L"EW244-3203"},         {Step::kCertificateSize, true, L"EW244-3205"},
      {Step::kCertificateData, true, L"EW244-3206"}, {Step::kCreateHash, false, L"EW244-3300"},
      {Step::kSetHash, false, L"EW244-3301"},        {Step::kSignSize, false, L"EW244-3302"},
      {Step::kSignData, false, L"EW244-3303"},
  };
  for (const Row& l_row : l_rows) {
    SCOPED_TRACE(static_cast<int>(l_row.step));
    m_token_.Reset();
    m_error_ = ErrorInfo();
    Insert(L"006", "aosign");
    // The second digest fails, so a signature already made must not remain.
    m_token_.FailAt(l_row.step, 0x8010002E, l_row.in_read ? 1 : 2);
    std::unique_ptr<Certificate> l_certificate = Make(L"006");
    EXPECT_EQ(1, ReadAndSign(*l_certificate));
    EXPECT_EQ(l_row.code, m_error_.GetCode());
    EXPECT_EQ(L"0x8010002e", m_error_.GetDetail1());
    EXPECT_TRUE(l_certificate->GetSignatures().empty());
    l_certificate->ReleaseResource();
    EXPECT_EQ(0, m_token_.OpenHandles());
  }
  // Neither user key.
  m_token_.Reset();
  Insert(L"006", "aosign", false, false);
  std::unique_ptr<Certificate> l_certificate = Make(L"006");
  EXPECT_EQ(1, l_certificate->ReadCertificate());
  EXPECT_EQ(L"EW244-3204", m_error_.GetCode());
  EXPECT_EQ(0, m_token_.OpenHandles());
}

TEST_F(CardCertificateTest, BadCertificatesAndDigestsAreRefused) {
  SoftwareToken::Token l_token;
  l_token.type = 24;
  l_token.private_key_der = test::CredentialBytes("key.der");
  l_token.certificate_der = {0x30, 0x03, 0x02, 0x01, 0x00};
  m_token_.AddToken(CardCertificate::ChooseProvider(L"006").name, l_token);
  std::unique_ptr<Certificate> l_certificate = Make(L"006");
  EXPECT_EQ(1, l_certificate->ReadCertificate());
  EXPECT_EQ(L"EW244-3208", m_error_.GetCode());
  EXPECT_EQ(0, m_token_.OpenHandles());

  struct DigestRow {
    std::wstring digest;
    const wchar_t* detail;
  };
  const DigestRow l_digests[] = {
      {L"", L"0x80090203"},
      {L"abcd", L"0x80090204"},
      {test::HashHex(1).substr(2) + L"zz", L"0x80090204"},
  };
  m_token_.Reset();
  Insert(L"006", "aosign");
  for (const DigestRow& l_row : l_digests) {
    DataStore l_store;
    l_store.SetCertificateType(L"006");
    l_store.SetDigest(l_row.digest);
    ErrorInfo l_error;
    AoSignCertificate l_aosign(&l_store, &m_result_, &l_error, m_token_);
    ASSERT_EQ(0, l_aosign.ReadCertificate());
    EXPECT_EQ(1, l_aosign.ComputeSignature());
    EXPECT_EQ(L"EW044-3399", l_error.GetCode());
    EXPECT_EQ(l_row.detail, l_error.GetDetail1());
  }
}

TEST_F(CardCertificateTest, ASignatureOfAnotherSizeThanTheKeyIsRefused) {
  SoftwareToken::Token l_token;
  l_token.type = 24;
  l_token.private_key_der = test::CredentialBytes("key-1024.der");
  l_token.certificate_der = test::CredentialBytes("aosign.der");
  m_token_.AddToken(CardCertificate::ChooseProvider(L"006").name, l_token);
  std::unique_ptr<Certificate> l_certificate = Make(L"006");
  EXPECT_EQ(1, ReadAndSign(*l_certificate));
  EXPECT_EQ(L"EW244-3303", m_error_.GetCode());
  EXPECT_EQ(L"0x80090006", m_error_.GetDetail1());
  EXPECT_TRUE(l_certificate->GetSignatures().empty());
  l_certificate->ReleaseResource();
  EXPECT_EQ(0, m_token_.OpenHandles());
}

TEST_F(CardCertificateTest, ACancelBeforeADigestLeavesNoSignature) {
  Insert(L"006", "aosign");
  std::unique_ptr<Certificate> l_certificate = Make(L"006");
  ASSERT_EQ(0, l_certificate->ReadCertificate());
  platform::NamedEvent l_cancel =
      platform::NamedEvent::Create(L"Cancel_" + std::to_wstring(platform::CurrentProcessId()));
  l_cancel.Set();
  EXPECT_EQ(1, l_certificate->ComputeSignature());
  EXPECT_TRUE(l_certificate->GetSignatures().empty());
  EXPECT_EQ(L"", m_error_.GetCode());
}

}  // namespace
}  // namespace tavc
