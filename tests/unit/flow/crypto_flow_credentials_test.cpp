// Whole signing runs of modes "02" and "07" with a provider card ("ca") and
// with a PKCS#12 file: the answer's signatures verify with its certificate.
#include <algorithm>

#include "common/base64.h"
#include "common/utf_conversion.h"
#include "host/cert/card_certificate.h"
#include "platform/software_token.h"
#include "tests/unit/cert/test_credentials.h"
#include "tests/unit/flow/flow_fixture.h"

namespace tavc::test {
namespace {

// The Base64 DigestInfos of the fixture carry these SHA-256 values at their ends.
std::vector<std::uint8_t> DigestValue(const char* in_l_base64) {
  std::vector<std::uint8_t> l_bytes;
  const std::wstring l_text = Utf8ToUtf16(in_l_base64);
  EXPECT_TRUE(DecodeBase64(l_text, l_bytes));
  return std::vector<std::uint8_t>(l_bytes.end() - 32, l_bytes.end());
}

// The Base64 value of a string field or the items of an array field.
std::vector<std::string> Values(const std::string& in_l_answer, const std::string& in_l_key) {
  std::vector<std::string> l_values;
  auto l_at = in_l_answer.find("\"" + in_l_key + "\":");
  if (l_at == std::string::npos) return l_values;
  l_at += in_l_key.size() + 3;
  const auto l_end = in_l_answer[l_at] == '[' ? in_l_answer.find(']', l_at) : in_l_answer.find('"', l_at + 1) + 1;
  for (auto l_q = in_l_answer.find('"', l_at); l_q < l_end; l_q = in_l_answer.find('"', l_q + 1)) {
    const auto l_close = in_l_answer.find('"', l_q + 1);
    l_values.push_back(in_l_answer.substr(l_q + 1, l_close - l_q - 1));
    l_q = l_close;
  }
  return l_values;
}

std::vector<std::uint8_t> FromBase64(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_bytes;
  EXPECT_TRUE(DecodeBase64(Utf8ToUtf16(in_l_text), l_bytes));
  return l_bytes;
}

class CryptoFlowTest : public FlowTest {
 protected:
  void TearDown() override { platform::SystemSoftwareToken().Reset(); }

  void InsertCard(const std::wstring& in_l_type, const std::string& in_l_credential) {
    const ProviderChoice l_provider = CardCertificate::ChooseProvider(in_l_type);
    platform::SoftwareToken::Token l_token;
    l_token.type = l_provider.type;
    l_token.private_key_der = CredentialBytes("key.der");
    l_token.certificate_der = CredentialBytes(in_l_credential + ".der");
    platform::SystemSoftwareToken().AddToken(l_provider.name, l_token);
  }

  // A user who confirms the certificate as the real screen does for these kinds.
  static UserScript ConfirmingUser() {
    return [](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
      if (io_l_screen.Kind() == ScreenKind::kCertificateConfirm) io_l_run.Post(WM_APP07);
      if (io_l_screen.Kind() == ScreenKind::kError) io_l_screen.OnClose();
    };
  }

  void ExpectSignedBy(const std::string& in_l_answer, const std::string& in_l_credential) {
    EXPECT_TRUE(Has(in_l_answer, "\"result\":\"0\"")) << in_l_answer;
    const std::vector<std::string> l_signatures = Values(in_l_answer, "signature");
    const std::vector<std::string> l_certificate = Values(in_l_answer, "certificate");
    ASSERT_EQ(2U, l_signatures.size()) << in_l_answer;
    ASSERT_EQ(1U, l_certificate.size()) << in_l_answer;
    EXPECT_EQ(CredentialBytes(in_l_credential + ".der"), FromBase64(l_certificate[0]));
    EXPECT_TRUE(VerifiesWith(FromBase64(l_certificate[0]), DigestValue(kDigestOne), FromBase64(l_signatures[0])));
    EXPECT_TRUE(VerifiesWith(FromBase64(l_certificate[0]), DigestValue(kDigestTwo), FromBase64(l_signatures[1])));
  }

  const std::string m_digests_ = std::string(",\"digest\":[\"") + kDigestOne + "\",\"" + kDigestTwo + "\"]";
};

TEST_F(CryptoFlowTest, ModesTwoAndSevenSignWithEveryProviderRow) {
  // The "ca" values the request intake accepts for these modes.
  const std::pair<const char*, const char*> l_rows[] = {
      {"004", "tdb"},           {"007", "houjin"},      {"009", "eprobatio-ps2"},
      {"010", "eprobatio-psa"}, {"011", "diacertplus"}, {"012", "diacert"},
  };
  for (const auto& [l_type, l_credential] : l_rows) {
    for (const char* l_mode : {"02", "07"}) {
      SCOPED_TRACE(std::string(l_mode) + " " + l_type);
      platform::SystemSoftwareToken().Reset();
      InsertCard(Utf8ToUtf16(l_type), l_credential);
      NewRun(RequestJson(l_mode, std::string(",\"ca\":\"") + l_type + "\"" + m_digests_)).SetUser(ConfirmingUser());
      ExpectSignedBy(RunToEnd(), l_credential);
      const auto l_kinds = m_run_->ShownKinds();
      EXPECT_EQ(std::string(l_mode) == "07",
                std::find(l_kinds.begin(), l_kinds.end(), ScreenKind::kCertificateConfirm) != l_kinds.end());
      EXPECT_EQ(0, platform::SystemSoftwareToken().OpenHandles());
    }
  }
}

TEST_F(CryptoFlowTest, AFileSignsInBothModes) {
  for (const char* l_mode : {"02", "07"}) {
    const std::string l_path = CredentialsDir() + "/houjin.p12";
    NewRun(RequestJson(l_mode, ",\"file_path\":\"" + l_path + "\",\"file_password\":\"test-pass\"" + m_digests_))
        .SetUser(ConfirmingUser());
    ExpectSignedBy(RunToEnd(), "houjin");
  }
}

TEST_F(CryptoFlowTest, FailuresEndWithTheirCode) {
  struct Row {
    std::string more;
    const char* code;
  };
  const Row l_rows[] = {
      {",\"ca\":\"004\"", "EW244-3203"},  // no card in any reader
      {",\"file_path\":\"" + CredentialsDir() + "/diacert.p12\",\"file_password\":\"wrong\"", "EW240-3204"},
      {",\"file_path\":\"" + CredentialsDir() + "/aosign.p12\",\"file_password\":\"test-pass\"", "EW244-3500"},
  };
  for (const Row& l_row : l_rows) {
    NewRun(RequestJson("02", l_row.more + m_digests_)).SetUser(ConfirmingUser());
    const std::string l_answer = RunToEnd();
    EXPECT_TRUE(Has(l_answer, std::string("\"errcode\":\"") + l_row.code + "\"")) << l_answer;
    EXPECT_FALSE(Has(l_answer, "test-pass"));
    EXPECT_FALSE(Has(l_answer, "wrong"));
  }
}

}  // namespace
}  // namespace tavc::test
