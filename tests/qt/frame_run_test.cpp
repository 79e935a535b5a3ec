// Whole runs through the Qt frame and the real Qt screens with the virtual
// card in process: the answer bytes as the Windows build writes them, the
// page going away while the end confirmation is open, and the card kinds that
// have no provider on Linux.
#include <gtest/gtest.h>

#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <memory>
#include <regex>

#include "common/base64.h"
#include "common/utf_conversion.h"
#include "host/flow/end_alert.h"
#include "platform/software_token.h"
#include "tests/qt/qt_run.h"
#include "tests/support/in_process_card_rig.h"

namespace tavc::test {
namespace {

constexpr char kVersions[] = "\"latest_version\":\"1\",\"available_version\":\"1\"";

std::vector<std::uint8_t> Sha256(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_hash(SHA256_DIGEST_LENGTH);
  SHA256(reinterpret_cast<const unsigned char*>(in_l_text.data()), in_l_text.size(), l_hash.data());
  return l_hash;
}

// A SHA-256 DigestInfo of the text, in Base64, as a page sends it.
std::string DigestInfo(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_info = {0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x65,
                                      0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};
  for (const std::uint8_t l_byte : Sha256(in_l_text)) l_info.push_back(l_byte);
  return Utf16ToUtf8(EncodeBase64(l_info.data(), l_info.size()));
}

std::string Base64(const std::vector<std::uint8_t>& in_l_bytes) {
  return Utf16ToUtf8(EncodeBase64(in_l_bytes.data(), in_l_bytes.size()));
}

// True when the Base64 signature is the certificate key's PKCS#1 v1.5 signature
// of the text's SHA-256. Such a signature is unique: it verifying is the bytes matching.
bool Verifies(const std::vector<std::uint8_t>& in_l_certificate, const std::string& in_l_text,
              const std::string& in_l_signature) {
  std::vector<std::uint8_t> l_signature;
  if (!DecodeBase64(Utf8ToUtf16(in_l_signature), l_signature)) return false;
  const unsigned char* l_der = in_l_certificate.data();
  std::unique_ptr<X509, decltype(&X509_free)> l_x509(
      d2i_X509(nullptr, &l_der, static_cast<long>(in_l_certificate.size())), X509_free);
  EVP_PKEY* l_key = l_x509 ? X509_get0_pubkey(l_x509.get()) : nullptr;
  std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> l_context(
      l_key != nullptr ? EVP_PKEY_CTX_new(l_key, nullptr) : nullptr, EVP_PKEY_CTX_free);
  const std::vector<std::uint8_t> l_hash = Sha256(in_l_text);
  return l_context && EVP_PKEY_verify_init(l_context.get()) == 1 &&
         EVP_PKEY_CTX_set_rsa_padding(l_context.get(), RSA_PKCS1_PADDING) == 1 &&
         EVP_PKEY_CTX_set_signature_md(l_context.get(), EVP_sha256()) == 1 &&
         EVP_PKEY_verify(l_context.get(), l_signature.data(), l_signature.size(), l_hash.data(), l_hash.size()) == 1;
}

// The value of a "name":"value" line of an answer.
std::string Field(const std::string& in_l_answer, const std::string& in_l_name) {
  std::smatch l_match;
  const std::regex l_line("\"" + in_l_name + "\":\"([^\"]*)\"");
  return std::regex_search(in_l_answer, l_match, l_line) ? l_match[1].str() : std::string();
}

class QtFrameRunTest : public ::testing::Test {
 protected:
  void StartCards(std::vector<ReaderSetup> in_l_readers) {
    std::string l_error;
    ASSERT_TRUE(m_rig_.Start(in_l_readers, &l_error)) << l_error;
  }

  InProcessCardRig m_rig_;
};

TEST_F(QtFrameRunTest, LogInAnswersByteForByteAsTheWindowsBuild) {
  StartCards({{CardKind::kMyNumber}});
  QtRun l_run(m_rig_.Api(), std::string("{\"mode\":\"01\",") + kVersions + ",\"service_id\":\"01\",\"digest\":\"" +
                                DigestInfo("log-in challenge") + "\"}");
  ASSERT_TRUE(l_run.Run({"screen=PasswordSetScreen", "fill=password:1234", "click=ok"})) << l_run.Failure();
  const std::string l_answer = l_run.Answer();
  const std::vector<std::uint8_t> l_certificate = m_rig_.Certificate(0, "auth");
  const std::string l_signature = Field(l_answer, "signature");
  EXPECT_TRUE(Verifies(l_certificate, "log-in challenge", l_signature));
  EXPECT_TRUE(std::regex_match(Field(l_answer, "uuid"), std::regex("[0-9A-F]{32}")));
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"" + Field(l_answer, "uuid") +
                "\",\r\n  \"signature\":\"" + l_signature + "\",\r\n  \"certificate\":\"" + Base64(l_certificate) +
                "\"\r\n}",
            l_answer);
}

TEST_F(QtFrameRunTest, APageThatGoesAwayClosesTheOpenEndConfirmationFirst) {
  struct Case {
    const char* second_frame;
    std::string answer;
  };
  for (const Case& l_case : {Case{"{\"mode\":\"05\"}", ""},
                             Case{"{\"mode\":\"01\"}", "{\r\n  \"mode\":\"01\",\r\n  \"result\":\"1\",\r\n  "
                                                       "\"errcode\":\"EW042-2402\"\r\n}"}}) {
    StartCards({{CardKind::kMyNumber}});
    QtRun l_run(m_rig_.Api(), std::string("{\"mode\":\"01\",") + kVersions + ",\"digest\":\"" +
                                  DigestInfo("log-in challenge") + "\"}");
    l_run.OnCall("page_writes", [&l_run, &l_case] { l_run.Input().Feed(Frame(l_case.second_frame)); });
    // The end confirmation is open when the page's frame comes: it closes, the
    // notice shows, and its OK ends the run.
    ASSERT_TRUE(l_run.Run({"screen=PasswordSetScreen", "key=escape", "call=page_writes", "screen=ErrorScreen",
                           "click=ok"}))
        << l_run.Failure();
    EXPECT_EQ(l_case.answer, l_run.Answer()) << l_case.second_frame;
    EXPECT_EQ(0, EndAlert::ExamineMutex()) << "nobody holds the end confirmation";
  }
}

TEST_F(QtFrameRunTest, CardKindsOnlyWindowsProvidersServeAnswerTheirProviderCode) {
  platform::SystemSoftwareToken().Reset();
  StartCards({{CardKind::kMyNumber}});
  for (const char* l_ca : {"004", "007", "009", "010", "011", "012"}) {
    QtRun l_run(m_rig_.Api(), std::string("{\"mode\":\"02\",") + kVersions + ",\"ca\":\"" + l_ca +
                                  "\",\"digest\":\"" + DigestInfo("one") + "\"}");
    ASSERT_TRUE(l_run.Run({"screen=ErrorScreen", "click=ok"})) << l_run.Failure();
    EXPECT_EQ("EW244-3203", Field(l_run.Answer(), "errcode")) << l_ca;
  }
}

}  // namespace
}  // namespace tavc::test
