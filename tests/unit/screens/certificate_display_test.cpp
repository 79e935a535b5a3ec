// What the certificate confirmation screens show: the eight items, the GPKI
// list rows, their shortened and detailed texts, and hostile names kept bounded.
#include <gtest/gtest.h>

#include "host/cert/gpki_ap_certificate.h"
#include "host/screens/certificate_confirm_items.h"
#include "host/screens/display_text.h"
#include "host/screens/gpki_certificate_rows.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/cert/cert_builder.h"

namespace tavc {
namespace {

using namespace cert_test;

#include "tests/unit/cert/fixtures/gpki_certificate.inc"

// Japan: nine hours ahead, enough for dates away from a month's end.
bool JapanTime(const CivilTime& in_l_utc, CivilTime& out_l_local) {
  out_l_local = in_l_utc;
  out_l_local.hour += 9;
  if (out_l_local.hour >= 24) {
    out_l_local.hour -= 24;
    ++out_l_local.day;
  }
  return true;
}

TEST(CertificateConfirmItems, ValidityIsInLocalDates) {
  EXPECT_EQ(L"2024年03月02日 から 2029年03月01日 まで", ValidityText(L"20240301150000", L"20290301145959", JapanTime));
  EXPECT_EQ(L"", ValidityText(L"2024030115000", L"20290301145959", JapanTime));
  EXPECT_EQ(L"", ValidityText(L"20240301150000", L"2029-3-01145959", JapanTime));
  const auto l_failing = [](const CivilTime&, CivilTime&) { return false; };
  EXPECT_EQ(L"", ValidityText(L"20240301150000", L"20290301145959", l_failing));
}

class CertificateDisplayTest : public ::testing::Test {
 protected:
  CertificateDisplayTest() { m_store_.SetCertificateType(L"019"); }
  void Load(const Bytes& in_l_der) {
    m_cert_.SetCertificateHex(HexOfDer(in_l_der));
    ASSERT_EQ(0, m_cert_.ReadCertificateDetail());
  }
  static std::vector<std::wstring> Labels(const std::vector<GpkiRow>& in_l_rows) {
    std::vector<std::wstring> l_labels;
    for (const GpkiRow& l_row : in_l_rows) l_labels.push_back(l_row.label);
    return l_labels;
  }

  test::ScriptedSCardApi m_api_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
  GpkiApCertificate m_cert_{&m_store_, &m_result_, &m_error_, m_api_};
};

TEST_F(CertificateDisplayTest, ConfirmValuesFollowTheItemsAndStayBounded) {
  EXPECT_EQ((std::array<std::wstring, 8>{}), ConfirmValues(nullptr, JapanTime));
  m_cert_.SetIssuerAltName(L"JPKI\r\nCA");
  // A name with a right-to-left override, a NUL and a bell, far longer than a field.
  m_cert_.SetSubjectAltName(std::wstring(L"Taro\u202Eoy\0\a", 9) + std::wstring(20000, L'x'));
  m_cert_.SetSubjectAddress(L"Tokyo\nChiyoda");
  m_cert_.SetRepresentativeDirectorTitle(L"");
  m_cert_.SetRepresentativeDirectorName(L"Hanako");
  m_cert_.SetRegistrationNumber(L"12345\t6");
  const std::array<std::wstring, 8> l_values = ConfirmValues(&m_cert_, JapanTime);
  EXPECT_EQ(L"JPKI\r\nCA", l_values[0]);
  EXPECT_EQ(0U, l_values[2].find(L"Taro\uFFFDoy\uFFFD\uFFFDxx"));
  EXPECT_EQ(kDisplayTextLimit + 1, l_values[2].size());
  EXPECT_EQ(L'\u2026', l_values[2].back());
  EXPECT_EQ(L"Tokyo\r\nChiyoda", l_values[3]);
  EXPECT_EQ(L"", l_values[4]);
  EXPECT_EQ(L"", l_values[5]);
  EXPECT_EQ(L"Hanako", l_values[6]);
  EXPECT_EQ(L"12345\uFFFD6", l_values[7]);
}

TEST(DisplayText, LineBreaksOnlyInMultiLineFieldsAndNoHalfPairs) {
  EXPECT_EQ(L"a\uFFFD\uFFFDb", DisplayText(L"a\r\nb", false));
  EXPECT_EQ(L"a\r\nb\r\nc\r\nd", DisplayText(L"a\r\nb\rc\nd", true));
  const std::wstring l_pair = {L'a', L'b', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(L"ab\u2026", DisplayText(l_pair, false, 3));
  EXPECT_EQ(L"\uFFFD\uFFFD\uFFFD", DisplayText(L"\u200F\u2066\u0085", false));
}

struct SimpleCase {
  const wchar_t* text;
  const wchar_t* simple;
  const wchar_t* linefeed;
};

TEST(GpkiRowTexts, ShortenedAndDetailedForms) {
  const SimpleCase l_cases[] = {
      {L"C=JP, O=Corvane Authority, OU=OfficialStatusCA", L"JP,Corvane Authority,OfficialStatusCA",
       L"C=JP\r\nO=Corvane Authority\r\nOU=OfficialStatusCA"},
      {L"critical TRUE, digitalSignature,nonRepudiation", L"digitalSignature,nonRepudiation",
       L"critical TRUE\r\ndigitalSignature,nonRepudiation"},
      {L"critical FALSE, directoryName:, OU=Unit, C=JP", L"directoryName:OU=Unit,C=JP",
       L"critical FALSE\r\ndirectoryName:\r\nOU=Unit\r\nC=JP"},
      {L"V3", L"V3", L"V3"},
      {L"", L"", L""},
      {L"a,, b ,c;d", L"a,b,c;d", L"a,\r\nb ,c,d"},
  };
  for (const SimpleCase& l_case : l_cases) {
    EXPECT_EQ(l_case.simple, MakeSimple(l_case.text)) << l_case.text;
    EXPECT_EQ(l_case.linefeed, MakeLinefeed(l_case.text)) << l_case.text;
  }
}

TEST_F(CertificateDisplayTest, CardAndCaRowsInTheirOrder) {
  CertificateParts l_parts;
  l_parts.issuer = Name({{kC, Printable("JP")}, {kO, Utf8("Corvane Authority")}, {kOu, Utf8("OfficialStatusCA")}});
  Load(l_parts.Build());
  const std::vector<std::wstring> l_card = {L"バージョン", L"シリアル番号", L"署名アルゴリズム", L"発行者",
                                            L"発行年月日", L"有効期間の満了日", L"主体者", L"主体者の公開鍵情報",
                                            L"認証局鍵識別子", L"主体者鍵識別子", L"鍵用途", L"証明書ポリシー",
                                            L"発行者代替名", L"CRL分配点"};
  EXPECT_EQ(l_card, Labels(GpkiRows(m_cert_, false)));
  EXPECT_EQ(12U, GpkiRows(m_cert_, true).size());
  EXPECT_EQ(L"基本制約", GpkiRows(m_cert_, true).back().label);

  Load(Bytes(kGpkiCertificate, kGpkiCertificate + sizeof kGpkiCertificate));
  const std::vector<GpkiRow> l_rows = GpkiRows(m_cert_, false);
  ASSERT_EQ(16U, l_rows.size());
  EXPECT_EQ(L"拡張鍵用途", l_rows[11].label);
  EXPECT_EQ(L"主体者代替名", l_rows[13].label);
  EXPECT_EQ(L"OfficialStatusCA,Corvane Authority,JP", l_rows[3].value);
  EXPECT_EQ(L"rsaEncryption(2048bits)", l_rows[7].value);
  EXPECT_EQ(m_cert_.GetGpkiSubjectPublicKey(), l_rows[7].detail);
  EXPECT_EQ(14U, GpkiRows(m_cert_, true).size());
}

TEST(GpkiRowKeys, MovesWithinTheListOnly) {
  EXPECT_EQ(-1, RowAfterKey(ListKey::kUp, 0, 5));
  EXPECT_EQ(2, RowAfterKey(ListKey::kUp, 3, 5));
  EXPECT_EQ(-1, RowAfterKey(ListKey::kDown, 5, 5));
  EXPECT_EQ(0, RowAfterKey(ListKey::kDown, -1, 5));
  EXPECT_EQ(0, RowAfterKey(ListKey::kHome, 4, 5));
  EXPECT_EQ(5, RowAfterKey(ListKey::kEnd, 1, 5));
  EXPECT_EQ(-1, RowAfterKey(ListKey::kOther, 1, 5));
  EXPECT_EQ(-1, RowAfterKey(ListKey::kEnd, -1, -1));
}

}  // namespace
}  // namespace tavc
