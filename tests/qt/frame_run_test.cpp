// Whole runs through the Qt frame and the real Qt screens with the virtual
// card in process: the answer bytes as the Windows build writes them, the
// page going away while the end confirmation is open, and the card kinds that
// have no provider on Linux.
#include <gtest/gtest.h>

#include <regex>

#include "host/flow/end_alert.h"
#include "platform/software_token.h"
#include "tests/qt/qt_run.h"
#include "tests/support/answer_checks.h"
#include "tests/support/in_process_card_rig.h"

namespace tavc::test {
namespace {

constexpr char kVersions[] = "\"latest_version\":\"1\",\"available_version\":\"1\"";

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
                                DigestInfoBase64("log-in challenge") + "\"}");
  ASSERT_TRUE(l_run.Run({"screen=PasswordSetScreen", "fill=password:1234", "click=ok"})) << l_run.Failure();
  const std::string l_answer = l_run.Answer();
  const std::vector<std::uint8_t> l_certificate = m_rig_.Certificate(0, "auth");
  EXPECT_TRUE(SignatureOfTextVerifies(l_certificate, "log-in challenge", AnswerField(l_answer, "signature")));
  EXPECT_TRUE(std::regex_match(AnswerField(l_answer, "uuid"), std::regex("[0-9A-F]{32}")));
  EXPECT_EQ(LogInAnswer(l_answer, l_certificate), l_answer);
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
                                  DigestInfoBase64("log-in challenge") + "\"}");
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
                                  "\",\"digest\":\"" + DigestInfoBase64("one") + "\"}");
    ASSERT_TRUE(l_run.Run({"screen=ErrorScreen", "click=ok"})) << l_run.Failure();
    EXPECT_EQ("EW244-3203", AnswerField(l_run.Answer(), "errcode")) << l_ca;
  }
}

}  // namespace
}  // namespace tavc::test
