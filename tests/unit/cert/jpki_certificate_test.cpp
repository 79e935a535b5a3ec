// JpkiCertificate: issuer checks, the display fields of both JPKI
// certificates, the personal items of the signature certificate, and the card
// steps of ReadCertificate and ComputeSignature on a scripted card.
#include <gtest/gtest.h>

#include "host/cert/jpki_certificate.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/card/card_scripts.h"
#include "tests/unit/cert/cert_builder.h"

namespace tavc {
namespace {

using namespace cert_test;
using test::DigestInfoHex;
using test::ExpectCertificateChunks;
using test::FakeSignature;
using test::kReadToken;
using test::kSelectJpki;
using test::Ok;
using test::ScriptedReply;
using test::ScriptedSCardApi;
using test::Status;
using test::Token;
using test::Wide;

const char kOidName[] = "1.2.392.200149.8.5.5.1";
const char kOidNameSubstitute[] = "1.2.392.200149.8.5.5.2";
const char kOidSex[] = "1.2.392.200149.8.5.5.3";
const char kOidBirth[] = "1.2.392.200149.8.5.5.4";
const char kOidAddress[] = "1.2.392.200149.8.5.5.5";
const char kOidAddressSubstitute[] = "1.2.392.200149.8.5.5.6";

// The otherNames as the card writes them: in type order, substitutes included.
std::vector<Bytes> CardOtherNames() {
  return {OtherNameEntry(kOidName, Utf8("番号\u3000花子")), OtherNameEntry(kOidNameSubstitute, Utf8("番号 花子")),
          OtherNameEntry(kOidSex, Utf8("2")),                 OtherNameEntry(kOidBirth, Utf8("419850415")),
          OtherNameEntry(kOidAddress, Utf8("東京都千代田区")), OtherNameEntry(kOidAddressSubstitute, Utf8("東京都"))};
}

Bytes JpkiCertificateDer(const std::string& in_l_organization, const std::string& in_l_unit,
                         const std::vector<Bytes>& in_l_other_names) {
  CertificateParts l_parts;
  l_parts.issuer = Name({{kC, Printable("JP")},
                         {kO, Utf8(in_l_organization)},
                         {kOu, Utf8(in_l_unit)},
                         {kOu, Utf8("Japan Agency for Local Authority Information Systems")}});
  l_parts.subject = Name({{kC, Printable("JP")}, {kL, Utf8("Tokyo-to")}, {kL, Utf8("Chiyoda-ku")},
                          {kCn, Utf8("98765432109876543210XYZ")}});
  l_parts.extensions = {IssuerAltName({DirectoryNameEntry({{kC, Printable("JP")},
                                                           {kO, Utf8("公的個人認証サービス")},
                                                           {kOu, Utf8("公的個人認証サービス署名用")},
                                                           {kOu, Utf8("地方公共団体情報システム機構")}})})};
  if (!in_l_other_names.empty()) l_parts.extensions.push_back(SubjectAltName(in_l_other_names));
  return l_parts.Build();
}

class JpkiCertificateTest : public ::testing::Test {
 protected:
  // The certificate object of a request of this certificate type, holding in_l_der.
  JpkiCertificate& Holding(const std::wstring& in_l_type, const Bytes& in_l_der) {
    m_store_.SetCertificateType(in_l_type);
    m_cert_.SetCertificateHex(HexOfDer(in_l_der));
    return m_cert_;
  }

  ScriptedSCardApi m_api_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
  JpkiCertificate m_cert_{&m_store_, &m_result_, &m_error_, m_api_};
};

TEST(JpkiIssuerCheck, AcceptsProductionAndTestIssuersOnly) {
  EXPECT_EQ(0, JpkiCertificate::CheckSignIssuer(L"JP", L"JPKI", L"JPKI for digital signature"));
  EXPECT_EQ(0, JpkiCertificate::CheckSignIssuer(L"JP", L"JPKI-TEST", L"JPKI for digital signature"));
  EXPECT_EQ(0, JpkiCertificate::CheckLoginIssuer(L"JP", L"JPKI", L"JPKI for user authentication"));
  EXPECT_EQ(0, JpkiCertificate::CheckLoginIssuer(L"JP", L"JPKI-TEST", L"JPKI for user authentication"));
  EXPECT_EQ(1, JpkiCertificate::CheckSignIssuer(L"JP", L"JPKI", L"JPKI for user authentication"));
  EXPECT_EQ(1, JpkiCertificate::CheckLoginIssuer(L"JP", L"JPKI-TEST", L"JPKI for digital signature"));
  EXPECT_EQ(1, JpkiCertificate::CheckSignIssuer(L"JP", L"jpki", L"JPKI for digital signature"));
  EXPECT_EQ(1, JpkiCertificate::CheckSignIssuer(L"US", L"JPKI", L"JPKI for digital signature"));
  EXPECT_EQ(1, JpkiCertificate::CheckSignIssuer(L"JP", L"JPKI-TEST2", L"JPKI for digital signature"));
  EXPECT_EQ(1, JpkiCertificate::CheckLoginIssuer(L"JP", L"JPKI", L"JPKI for user authentication "));
}

TEST_F(JpkiCertificateTest, SignatureCertificateOfTheTestIssuerGivesEveryField) {
  JpkiCertificate& l_cert = Holding(L"", JpkiCertificateDer("JPKI-TEST", "JPKI for digital signature", CardOtherNames()));
  ASSERT_EQ(0, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"001", l_cert.GetCertificateType());
  EXPECT_EQ(L"JP JPKI-TEST JPKI for digital signature Japan Agency for Local Authority Information Systems",
            l_cert.GetIssuer());
  EXPECT_EQ(L"JPKI-TESTJPKI for digital signatureJapan Agency for Local Authority Information Systems",
            l_cert.GetIssuerShortName());
  EXPECT_EQ(L"JP Tokyo-to Chiyoda-ku 98765432109876543210XYZ", l_cert.GetSubject());
  EXPECT_EQ(L"公的個人認証サービス 公的個人認証サービス署名用 地方公共団体情報システム機構", l_cert.GetIssuerAltName());
  EXPECT_EQ(L"番号\u3000花子", l_cert.GetSubjectAltName());
  EXPECT_EQ(L"419850415", l_cert.GetDateOfBirth());
  EXPECT_EQ(L"2", l_cert.GetGender());
  EXPECT_EQ(L"東京都千代田区", l_cert.GetSubjectAddress());
  EXPECT_EQ(L"", m_error_.GetCode());
}

TEST_F(JpkiCertificateTest, PersonalItemsAreFoundByTheirTypeInAnyOrder) {
  const std::vector<Bytes> l_four = {OtherNameEntry(kOidName, Utf8("Name")), OtherNameEntry(kOidBirth, Utf8("Birth")),
                                     OtherNameEntry(kOidSex, Utf8("1")), OtherNameEntry(kOidAddress, Utf8("Address"))};
  JpkiCertificate& l_cert = Holding(L"", JpkiCertificateDer("JPKI", "JPKI for digital signature", l_four));
  ASSERT_EQ(0, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"Name", l_cert.GetSubjectAltName());
  EXPECT_EQ(L"Birth", l_cert.GetDateOfBirth());
  EXPECT_EQ(L"1", l_cert.GetGender());
  EXPECT_EQ(L"Address", l_cert.GetSubjectAddress());

  // Three entries are not the card's name: nothing is taken from them.
  Holding(L"", JpkiCertificateDer("JPKI", "JPKI for digital signature",
                                  {l_four[0], l_four[1], l_four[2]}));
  ASSERT_EQ(0, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"", l_cert.GetSubjectAltName());
  EXPECT_EQ(L"", l_cert.GetDateOfBirth());
  EXPECT_EQ(L"", l_cert.GetGender());
  EXPECT_EQ(L"", l_cert.GetSubjectAddress());

  // An item that is not a UTF8String, and one whose text is not UTF-8, stay empty.
  Holding(L"", JpkiCertificateDer("JPKI", "JPKI for digital signature",
                                  {OtherNameEntry(kOidName, Printable("Name")), l_four[1],
                                   OtherNameEntry(kOidSex, Tlv(0x0C, {0xC3, 0x28})), l_four[3]}));
  ASSERT_EQ(0, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"", l_cert.GetSubjectAltName());
  EXPECT_EQ(L"Birth", l_cert.GetDateOfBirth());
  EXPECT_EQ(L"", l_cert.GetGender());
  EXPECT_EQ(L"Address", l_cert.GetSubjectAddress());
}

TEST_F(JpkiCertificateTest, AuthenticationRequestRefusesTheSignatureIssuer) {
  JpkiCertificate& l_cert = Holding(L"000", JpkiCertificateDer("JPKI", "JPKI for digital signature", CardOtherNames()));
  EXPECT_EQ(1, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"EW244-3500", m_error_.GetCode());
  EXPECT_EQ(L"", m_error_.GetDetail1());
  EXPECT_EQ(L"", l_cert.GetCertificateType());
  EXPECT_EQ(L"", l_cert.GetSubject());
  EXPECT_EQ(L"", l_cert.GetSubjectAltName());
  EXPECT_EQ(L"JP JPKI JPKI for digital signature", l_cert.GetIssuer()) << "no second unit on failure";
}

TEST_F(JpkiCertificateTest, AuthenticationCertificateCarriesNoPersonalItems) {
  JpkiCertificate& l_cert =
      Holding(L"000", JpkiCertificateDer("JPKI", "JPKI for user authentication", CardOtherNames()));
  ASSERT_EQ(0, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"000", l_cert.GetCertificateType());
  EXPECT_NE(L"", l_cert.GetIssuerAltName());
  EXPECT_EQ(L"", l_cert.GetSubjectAltName());
  EXPECT_EQ(L"", l_cert.GetDateOfBirth());
}

TEST_F(JpkiCertificateTest, UnreadableCertificateIsRefused) {
  m_store_.SetCertificateType(L"");
  m_cert_.SetCertificateHex(L"3082");
  EXPECT_EQ(1, m_cert_.ReadCertificateDetail());
  EXPECT_EQ(L"EW244-3500", m_error_.GetCode());
}

TEST(JpkiOtherName, ReadsOnlyAWholeUtf8String) {
  std::wstring l_text = L"kept";
  const Bytes l_truncated{0x0C, 0x05, 'a', 'b'};
  JpkiCertificate::GetOtherName(l_truncated.data(), l_truncated.size(), &l_text);
  EXPECT_EQ(L"kept", l_text);
  const Bytes l_huge{0x0C, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 'a'};
  JpkiCertificate::GetOtherName(l_huge.data(), l_huge.size(), &l_text);
  EXPECT_EQ(L"kept", l_text);
  JpkiCertificate::GetOtherName(nullptr, 3, &l_text);
  EXPECT_EQ(L"kept", l_text);
  const Bytes l_good = Utf8("花子");
  JpkiCertificate::GetOtherName(l_good.data(), l_good.size(), nullptr);
  JpkiCertificate::GetOtherName(l_good.data(), l_good.size(), &l_text);
  EXPECT_EQ(L"花子", l_text);
}

// --- the card steps ---------------------------------------------------------

class JpkiCardTest : public JpkiCertificateTest {
 protected:
  void SetUp() override {
    m_store_.SetMode(L"02");
    m_store_.SetPassword(L"ABC123");
    m_store_.SetDigest(Wide(DigestInfoHex(1)));
  }
  void ExpectSessionAndPassword(const ScriptedReply& in_l_verify_reply) {
    m_api_.AddReader(L"Reader");
    m_api_.Expect(kSelectJpki, Ok());
    m_api_.Expect(kReadToken, Ok(Token("JPKIAPICCTOKEN2")));
    m_api_.Expect("0020009B06 414243313233", in_l_verify_reply);
  }
};

TEST_F(JpkiCardTest, ReadsTheSignatureCertificateAndSigns) {
  const Bytes l_der = JpkiCertificateDer("JPKI", "JPKI for digital signature", CardOtherNames());
  ExpectSessionAndPassword(Ok());
  m_api_.Expect("00B0810004", Ok(Bytes(l_der.begin(), l_der.begin() + 4)));
  ExpectCertificateChunks(m_api_, l_der);
  m_api_.Expect("802A009A33" + DigestInfoHex(1) + "00", Ok(FakeSignature(5)));
  m_result_.SetSignature(L"from an earlier run");

  ASSERT_EQ(0, m_cert_.ReadCertificate());
  EXPECT_EQ(L"", m_store_.GetPassword());
  EXPECT_EQ(HexOfDer(l_der), m_cert_.GetCertificateHex());
  ASSERT_EQ(0, m_cert_.ReadCertificateDetail());
  EXPECT_EQ(L"番号\u3000花子", m_cert_.GetSubjectAltName());
  ASSERT_EQ(0, m_cert_.ComputeSignature());
  EXPECT_EQ(std::vector<std::wstring>{HexOfDer(FakeSignature(5))}, m_cert_.GetSignatures());
  EXPECT_TRUE(m_api_.Finished());
  m_cert_.ReleaseResource();
  EXPECT_EQ(0U, m_api_.OpenHandles());
  EXPECT_FALSE(m_cert_.ValidateCapiResource());
}

TEST_F(JpkiCardTest, PinIsRemovedWhenThePasswordIsWrong) {
  ExpectSessionAndPassword(Status(0x63, 0xC2));
  EXPECT_EQ(1, m_cert_.ReadCertificate());
  EXPECT_EQ(L"EW240-1620", m_error_.GetCode());
  EXPECT_EQ(L"", m_store_.GetPassword());
  EXPECT_EQ(L"", m_cert_.GetCertificateHex());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(JpkiCardTest, PinIsRemovedWhenNoSessionOpens) {
  EXPECT_EQ(1, m_cert_.ReadCertificate());
  EXPECT_EQ(L"EW240-1510", m_error_.GetCode());
  EXPECT_EQ(L"", m_store_.GetPassword());
}

TEST_F(JpkiCardTest, PinIsRemovedWhenTheCertificateReadFails) {
  ExpectSessionAndPassword(Ok());
  m_api_.Expect("00B0810004", Status(0x6A, 0x82));
  m_cert_.SetCertificateHex(L"00");
  EXPECT_EQ(1, m_cert_.ReadCertificate());
  EXPECT_EQ(L"EW244-1A01", m_error_.GetCode());
  EXPECT_EQ(L"", m_store_.GetPassword());
  EXPECT_EQ(L"", m_cert_.GetCertificateHex());
}

TEST(JpkiCertificateRecords, MissingDataStoreIsReported) {
  ScriptedSCardApi l_api;
  ErrorInfo l_error;
  JpkiCertificate l_cert(nullptr, nullptr, &l_error, l_api);
  EXPECT_EQ(1, l_cert.ReadCertificate());
  EXPECT_EQ(L"EW044-1599", l_error.GetCode());
  EXPECT_EQ(L"0x80100101", l_error.GetDetail1());
  EXPECT_EQ(1, l_cert.ReadCertificateDetail());
  EXPECT_EQ(L"0x80100301", l_error.GetDetail1());
  EXPECT_EQ(1, l_cert.ComputeSignature()) << "no session was opened";
  JpkiCertificate l_silent(nullptr, nullptr, nullptr, l_api);
  EXPECT_EQ(1, l_silent.ReadCertificate());
  EXPECT_EQ(1, l_silent.ComputeSignature());
}

}  // namespace
}  // namespace tavc
