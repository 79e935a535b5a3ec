// Signing requests, with and without confirmation, on both kinds of card.
#include "host/cert/gpki_ap_certificate.h"
#include "tests/unit/flow/flow_fixture.h"

namespace tavc::test {
namespace {

std::string Digests(std::initializer_list<const char*> in_l_digests) {
  std::string l_list = ",\"digest\":[";
  for (const char* l_digest : in_l_digests) l_list += std::string(l_list.back() == '[' ? "" : ",") + "\"" + l_digest + "\"";
  return l_list + "]";
}

// The Base64 values of the answer's signature array.
std::vector<std::string> SignatureArray(const std::string& in_l_answer) {
  std::vector<std::string> l_values;
  const auto l_start = in_l_answer.find("\"signature\":[");
  if (l_start == std::string::npos) return l_values;
  const auto l_end = in_l_answer.find(']', l_start);
  for (auto l_q = in_l_answer.find('"', l_start + 13); l_q < l_end; l_q = in_l_answer.find('"', l_q + 1)) {
    const auto l_close = in_l_answer.find('"', l_q + 1);
    l_values.push_back(in_l_answer.substr(l_q + 1, l_close - l_q - 1));
    l_q = l_close;
  }
  return l_values;
}

TEST_F(FlowTest, SigningThreeDigestsWithTheMyNumberCard) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("02", Digests({kDigestOne, kDigestTwo, kDigestThree}))).SetUser(TypingUser(L"ABC123"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  const auto l_signatures = SignatureArray(l_answer);
  ASSERT_EQ(3U, l_signatures.size()) << l_answer;
  for (const std::string& l_signature : l_signatures) EXPECT_EQ(344U, l_signature.size());
  EXPECT_NE(l_signatures[0], l_signatures[1]);
  EXPECT_EQ(4, m_run_->Shown()[3].process_mode) << "the signing progress screen";
}

TEST_F(FlowTest, SigningWithConfirmationShowsTheCertificateFirst) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("07", Digests({kDigestOne}))).SetUser(TypingUser(L"ABC123"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_EQ(1U, SignatureArray(l_answer).size());
  const auto l_kinds = m_run_->ShownKinds();
  const auto l_confirm = std::find(l_kinds.begin(), l_kinds.end(), ScreenKind::kCertificateConfirm);
  ASSERT_NE(l_kinds.end(), l_confirm);
  EXPECT_EQ(ScreenKind::kPasswordEntry, *(l_confirm - 2)) << "the PIN comes before the certificate is read";
}

TEST_F(FlowTest, GpkiSigning) {
  Readers({{CardKind::kGpki}});
  NewRun(RequestJson("11", Digests({kDigestOne, kDigestTwo}))).SetUser(TypingUser(L"GPKI1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_EQ(2U, SignatureArray(l_answer).size());
}

TEST_F(FlowTest, GpkiSigningWithConfirmationShowsBothCertificates) {
  Readers({{CardKind::kGpki}});
  const GpkiApCertificate* l_first = nullptr;
  const GpkiApCertificate* l_second = nullptr;
  NewRun(RequestJson("12", Digests({kDigestOne})))
      .SetUser([&](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
        if (io_l_screen.Kind() == ScreenKind::kCertificateConfirmGpkiAp) {
          l_first = dynamic_cast<const GpkiApCertificate*>(io_l_screen.Request().certificate);
          l_second = dynamic_cast<const GpkiApCertificate*>(io_l_screen.Request().second_certificate);
          ASSERT_NE(nullptr, l_first);
          ASSERT_NE(nullptr, l_second);
          EXPECT_FALSE(l_first->GetGpkiSubject().empty());
          EXPECT_NE(l_first->GetGpkiSubject(), l_second->GetGpkiSubject()) << "the user's and the authority's";
          EXPECT_NE(l_first->GetCertificateHex(), l_second->GetCertificateHex());
        }
        TypingUser(L"GPKI1234")(io_l_run, io_l_screen);
      });
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  ASSERT_NE(nullptr, l_first);
  ASSERT_NE(nullptr, l_second);
  EXPECT_EQ(1U, SignatureArray(l_answer).size());
}

TEST_F(FlowTest, AGpkiCardWhereAMyNumberCardIsExpected) {
  Readers({{CardKind::kGpki}});
  int l_requests = 0;
  NewRun(RequestJson("02", Digests({kDigestOne})))
      .SetUser([&l_requests](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
        if (io_l_screen.Kind() != ScreenKind::kCardRequest) return;
        // The second time the user gives up.
        if (++l_requests == 2) {
          io_l_run.AnswerEndAlert(true);
        } else {
          io_l_run.Post(WM_APP01);
        }
      });
  EXPECT_EQ("{\r\n  \"mode\":\"02\",\r\n  \"result\":\"9\"\r\n}", RunToEnd());
  EXPECT_EQ(2, l_requests);
  EXPECT_EQ(L"", m_run_->Shown()[2].code) << "the first card request shows no error";
  EXPECT_EQ(L"EW240-1511", m_run_->Shown()[4].code);
}

}  // namespace
}  // namespace tavc::test
