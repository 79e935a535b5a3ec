// Whole requests, request bytes to answer bytes, with the card behind a real
// pcscd: the same event flow the headless flow tests drive in process.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "tests/integration/pcscd_card_rig.h"
#include "tests/support/headless_run.h"

namespace tavc::test {
namespace {

constexpr char kDigest[] = "MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk";

class PcscdRequestFlow : public ::testing::Test {
 protected:
  // Runs the request with a user who types the password at every prompt.
  std::string Run(const std::vector<ReaderSetup>& in_l_readers, const std::string& in_l_request,
                  const std::wstring& in_l_password) {
    std::string l_error;
    EXPECT_TRUE(m_rig_.Start(in_l_readers, &l_error)) << l_error;
    HeadlessRun l_run(m_rig_.Api(), in_l_request);
    l_run.SetUser([in_l_password](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
      if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) io_l_run.EnterPassword(in_l_password);
      if (io_l_screen.Kind() == ScreenKind::kError) io_l_screen.OnClose();
    });
    EXPECT_TRUE(l_run.Run(std::chrono::seconds(60))) << "the run did not end";
    return l_run.Answer();
  }

  PcscdCardRig m_rig_;
};

TEST_F(PcscdRequestFlow, LogIn) {
  const std::string l_answer =
      Run({{CardKind::kMyNumber}}, RequestJson("01", std::string(",\"digest\":\"") + kDigest + "\""), L"1234");
  EXPECT_NE(std::string::npos, l_answer.find("\"result\":\"0\"")) << l_answer;
  EXPECT_NE(std::string::npos, l_answer.find("\"certificate\":\"MII")) << l_answer;
}

// What OpenSC's tool gets when it asks the card in the first reader for the state
// of the user-authentication PIN (VERIFY without data) after TAV has ended.
std::string AuthPinStateForOpenSc() {
  const char kCommand[] =
      "opensc-tool --reader 0 --send-apdu 00:A4:04:0C:0A:D3:92:F0:00:26:01:00:00:00:01 "
      "--send-apdu 00:20:00:98 2>&1";
  std::unique_ptr<FILE, decltype(&pclose)> l_tool(popen(kCommand, "r"), pclose);
  if (!l_tool) return "opensc-tool cannot be started";
  std::string l_output;
  char l_buffer[256];
  while (std::fgets(l_buffer, sizeof(l_buffer), l_tool.get()) != nullptr) l_output += l_buffer;
  return l_output;
}

// The PIN a log-in verified must be asked for again by the next program.
TEST_F(PcscdRequestFlow, AfterALogInOpenScIsAskedForThePinAgain) {
  const std::string l_answer =
      Run({{CardKind::kMyNumber}}, RequestJson("01", std::string(",\"digest\":\"") + kDigest + "\""), L"1234");
  ASSERT_NE(std::string::npos, l_answer.find("\"result\":\"0\"")) << l_answer;
  const std::string l_state = AuthPinStateForOpenSc();
  EXPECT_NE(std::string::npos, l_state.find("SW1=0x63, SW2=0xC3")) << l_state;
}

TEST_F(PcscdRequestFlow, SigningThreeDigestsWithTheCardInTheSecondReader) {
  const std::string l_digests = std::string(",\"digest\":[\"") + kDigest + "\",\"" + kDigest + "\",\"" + kDigest + "\"]";
  const std::string l_answer =
      Run({{CardKind::kEmpty}, {CardKind::kMyNumber}}, RequestJson("02", l_digests), L"ABC123");
  EXPECT_NE(std::string::npos, l_answer.find("\"result\":\"0\"")) << l_answer;
  // Three 344-character Base64 values, separated by commas.
  const auto l_start = l_answer.find("\"signature\":[");
  ASSERT_NE(std::string::npos, l_start) << l_answer;
  EXPECT_EQ(l_start + 14 + 3 * 346 + 2, l_answer.find(']', l_start) + 1) << l_answer;
}

TEST_F(PcscdRequestFlow, PersonalData) {
  const std::string l_answer = Run({{CardKind::kMyNumber}}, RequestJson("03"), L"1234");
  EXPECT_NE(std::string::npos, l_answer.find("\"mynumber\":\"313233343536373839303138\"")) << l_answer;
}

TEST_F(PcscdRequestFlow, GpkiSigning) {
  const std::string l_answer =
      Run({{CardKind::kGpki}}, RequestJson("11", std::string(",\"digest\":\"") + kDigest + "\""), L"GPKI1234");
  EXPECT_NE(std::string::npos, l_answer.find("\"result\":\"0\"")) << l_answer;
}

TEST_F(PcscdRequestFlow, WrongPinWithTriesLeftEndsOnTheErrorOnlyWhenTheUserGivesUp) {
  std::string l_error;
  ASSERT_TRUE(m_rig_.Start({{CardKind::kMyNumber}}, &l_error)) << l_error;
  HeadlessRun l_run(m_rig_.Api(), RequestJson("01", std::string(",\"digest\":\"") + kDigest + "\""));
  int l_prompts = 0;
  l_run.SetUser([&l_prompts](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    if (io_l_screen.Kind() != ScreenKind::kPasswordEntry) return;
    if (++l_prompts == 1) {
      io_l_run.EnterPassword(L"0000");
    } else {
      io_l_run.AnswerEndAlert(true);
    }
  });
  ASSERT_TRUE(l_run.Run(std::chrono::seconds(60)));
  EXPECT_EQ(2, l_prompts);
  EXPECT_EQ(L"EW140-1620", l_run.Shown().back().code);
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"9\"\r\n}", l_run.Answer());
}

}  // namespace
}  // namespace tavc::test
