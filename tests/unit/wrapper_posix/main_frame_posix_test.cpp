// The wrapper's POSIX frame end to end with a stand-in TAV: what the browser
// gets, what TAV gets, and that no TAV outlives a run it never joined.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/wrapper_posix/frame_rig.h"
#include "wrapper/relay_rules.h"

namespace {

using std::chrono::milliseconds;
using tavc::test::Frame;
using wrapper_test::FrameRig;
using wrapper_test::ProcessGone;

const std::string kLogin = R"({"mode":"01","latest_version":"1","available_version":"1","digest":"AAE="})";
const std::string kFileRequest = R"({"mode":"02","ca":"013","digest":"AAE=","origin":"https://a.example.jp"})";


TEST(PosixFrame, TavIsStartedOnPipesAloneWithDefaultSignalsInAGroupOfItsOwn) {
  FrameRig l_rig("hold");
  l_rig.Start(kLogin);
  ASSERT_TRUE(l_rig.RunUntilLogged("request "));
  const std::string l_log = l_rig.Log();
  EXPECT_NE(std::string::npos, l_log.find("fds 0,1,2\n")) << l_log;
  EXPECT_NE(std::string::npos, l_log.find("sigpipe default\n")) << l_log;
  EXPECT_NE(std::string::npos, l_log.find("own group yes\n")) << l_log;
  EXPECT_NE(std::string::npos, l_log.find("request " + kLogin + "\n")) << "the request goes unchanged";
  l_rig.PageLeaves();
  EXPECT_TRUE(l_rig.RunUntilEnded());
}

TEST(PosixFrame, TheOneAnswerIsRelayedExactlyWhateverItsResult) {
  for (const std::string l_answer : {R"({"mode":"01","result":"0","signature":"AA=="})",
                                     R"({"mode":"01","result":"1","errcode":"EW140-1620"})",
                                     R"({"mode":"01","result":"9"})"}) {
    FrameRig l_rig("answer:" + l_answer);
    l_rig.Start(kLogin);
    ASSERT_TRUE(l_rig.RunUntilEnded()) << l_answer;
    EXPECT_EQ(Frame(l_answer), l_rig.PageGot()) << "the frame alone, not TAV's zero byte: " << l_answer;
  }
}

TEST(PosixFrame, ACancelReachesTavThatTookItsRequestAndTheRunEnds) {
  FrameRig l_rig("hold");
  l_rig.Start(kLogin);
  ASSERT_TRUE(l_rig.RunUntilLogged("request "));
  // Frames that are not a cancel, one above the limit among them, are read past.
  l_rig.PageSends(R"({"mode":"01"})");
  std::vector<std::uint8_t> l_large = tavc::test::Frame(std::string(0x180000, ' '));
  l_rig.PageSends(l_large);
  l_rig.PageSends(R"({"mode":"05"})");
  const auto l_start = std::chrono::steady_clock::now();
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_LT(std::chrono::steady_clock::now() - l_start, milliseconds(2500));
  EXPECT_TRUE(l_rig.PageGot().empty()) << "TAV answers a cancel, the wrapper does not";
  ASSERT_TRUE(l_rig.RunUntilLogged("input ended"));
  const std::string l_log = l_rig.Log();
  EXPECT_NE(std::string::npos, l_log.find("frame {\"mode\":\"05\"}\ninput ended")) << l_log;
  EXPECT_EQ(std::string::npos, l_log.find("frame {\"mode\":\"01\"}")) << l_log;
}

TEST(PosixFrame, ATavThatEndsWithoutAnAnswerEndsTheRunSilently) {
  FrameRig l_rig("die");
  l_rig.Start(kLogin);
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_TRUE(l_rig.PageGot().empty());
}

TEST(PosixFrame, WhenThePageLeavesATavThatNeverReadsIsEndedWithinTheBoundedWaits) {
  // Larger than a pipe holds: the writer would block for ever without the stop.
  const std::string l_request = R"({"mode":"01","digest":")" + std::string(0x80000, 'A') + "\"}";
  FrameRig l_rig("deaf");
  l_rig.Start(l_request);
  ASSERT_TRUE(l_rig.RunUntil([&] { return l_rig.ChildPid() > 0; }));
  const pid_t l_child = l_rig.ChildPid();
  l_rig.PageLeaves();
  const auto l_start = std::chrono::steady_clock::now();
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_LT(std::chrono::steady_clock::now() - l_start, milliseconds(2500)) << "a second to take the request, then ended";
  EXPECT_TRUE(ProcessGone(l_child));
  EXPECT_TRUE(l_rig.PageGot().empty());
}

TEST(PosixFrame, AnAnswerAboveTheBrowsersLimitBecomesTheWrappersOwnError) {
  FrameRig l_rig("huge");
  l_rig.Start(kLogin);
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_EQ(Frame(R"({"mode":"01","result":"1","errcode":"EW054-0002"})"), l_rig.PageGot());
}

TEST(PosixFrame, ATavThatCannotBeStartedIsShownAndAnswered) {
  FrameRig l_rig("hold", "/nonexistent/TAV");
  l_rig.Start(kLogin);
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_EQ(std::vector<std::wstring>{wrapper_codes::kChildNotStarted}, l_rig.ui.errors);
  EXPECT_EQ(Frame(R"({"mode":"01","result":"1","errcode":"EW054-0001"})"), l_rig.PageGot());
}

TEST(PosixFrame, AFileRunTriesAgainAfterAFailedAnswerAndRelaysTheNext) {
  FrameRig l_rig("answer:{\"mode\":\"02\",\"result\":\"1\",\"errcode\":\"EW042-0101\"}");
  l_rig.Start(kFileRequest);
  ASSERT_EQ(1, l_rig.ui.shown);
  ASSERT_NE(nullptr, l_rig.ui.events);
  l_rig.ui.events->OnFileChosen(L"/home/u/a \"b\".p12", L"pa\\ss");
  ASSERT_TRUE(l_rig.RunUntil([&] { return l_rig.ui.raised == 1; }));
  EXPECT_EQ(1, l_rig.ui.hidden);
  EXPECT_FALSE(l_rig.frame->Ended());
  EXPECT_TRUE(l_rig.PageGot().empty()) << "a failed file is the user's to try again";
  EXPECT_NE(std::string::npos,
            l_rig.Log().find(R"(request {"mode":"02","digest":"AAE=","origin":"https://a.example.jp",)"
                             R"("file_path":"/home/u/a \"b\".p12","file_password":"pa\\ss"})"))
      << l_rig.Log();

  const std::string l_ok = R"({"mode":"02","result":"0","signature":["AA=="]})";
  setenv("TAV_STANDIN", ("answer:" + l_ok).c_str(), 1);
  l_rig.ui.events->OnFileChosen(L"/home/u/b.p12", L"x");
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_EQ(Frame(l_ok), l_rig.PageGot());
}

TEST(PosixFrame, EndingAFileRunAnswersCancelledWithTheRequestsMode) {
  FrameRig l_rig("hold");
  l_rig.Start(kFileRequest);
  ASSERT_NE(nullptr, l_rig.ui.events);
  l_rig.ui.events->OnEndChosen();
  EXPECT_TRUE(l_rig.frame->Ended());
  EXPECT_EQ(Frame(R"({"mode":"02","result":"9"})"), l_rig.PageGot());
  EXPECT_EQ(std::string(), l_rig.Log()) << "no TAV was started";
}

TEST(PosixFrame, ThePageLeavingEndsAFileRunWithoutAnAnswer) {
  FrameRig l_rig("hold");
  l_rig.Start(kFileRequest);
  l_rig.PageLeaves();
  ASSERT_TRUE(l_rig.RunUntilEnded());
  EXPECT_EQ(1, l_rig.ui.closed);
  EXPECT_TRUE(l_rig.PageGot().empty());
}

TEST(PosixFrame, AFileRequestThatWouldBeTooLargeForTavIsAnsweredAtOnce) {
  FrameRig l_rig("hold");
  l_rig.Start(kFileRequest);
  ASSERT_NE(nullptr, l_rig.ui.events);
  l_rig.ui.events->OnFileChosen(std::wstring(0x100000, L'a'), L"x");
  EXPECT_TRUE(l_rig.frame->Ended());
  EXPECT_EQ(Frame(R"({"mode":"02","result":"1","errcode":"EW042-1200"})"), l_rig.PageGot());
}

}  // namespace
