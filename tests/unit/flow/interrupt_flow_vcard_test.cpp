// Runs ended early: by the caller (a second frame, a closed pipe) or by the user.
#include <thread>

#include "host/flow/end_alert.h"
#include "tests/unit/flow/flow_fixture.h"

namespace tavc::test {
namespace {

using namespace std::chrono_literals;

const std::string kLogIn = RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\"");

// At the PIN entry the caller acts instead of the user; the interrupt error
// screen is then closed.
UserScript CallerInterrupts(std::function<void(HeadlessRun&)> in_l_caller) {
  return [in_l_caller](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) in_l_caller(io_l_run);
    if (io_l_screen.Kind() == ScreenKind::kError) io_l_screen.OnClose();
  };
}

TEST_F(FlowTest, ACancelFrameEndsTheRunWithoutAnswer) {
  Readers({{CardKind::kMyNumber}});
  NewRun(kLogIn).SetUser(CallerInterrupts([](HeadlessRun& io_l_run) { io_l_run.Input().Feed(Frame("{\"mode\":\"05\"}")); }));
  EXPECT_EQ("", RunToEnd());
  EXPECT_FALSE(m_run_->Answered());
  EXPECT_EQ(L"EW044-2400", m_run_->Shown().back().code);
}

TEST_F(FlowTest, AnotherFrameEndsTheRunWithItsError) {
  Readers({{CardKind::kMyNumber}});
  NewRun(kLogIn).SetUser(CallerInterrupts([](HeadlessRun& io_l_run) { io_l_run.Input().Feed(Frame("{\"mode\":\"01\"}")); }));
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW042-2402\"\r\n}", RunToEnd());
}

TEST_F(FlowTest, AClosedPipeEndsTheRunWithoutAnswer) {
  Readers({{CardKind::kMyNumber}});
  NewRun(kLogIn).SetUser(CallerInterrupts([](HeadlessRun& io_l_run) { io_l_run.Input().Break(); }));
  EXPECT_EQ("", RunToEnd());
  EXPECT_EQ(ScreenKind::kError, m_run_->Shown().back().kind);
}

bool Posted(const std::vector<QueuedMessage>& in_l_messages, std::uint32_t in_l_message) {
  return std::any_of(in_l_messages.begin(), in_l_messages.end(),
                     [in_l_message](const QueuedMessage& in_l_m) { return in_l_m.message == in_l_message; });
}

class EndWhileSigning : public FlowTest {
 protected:
  void SetUp() override {
    Readers({{CardKind::kMyNumber}});
    m_reader_ = SlowCard(40ms);
    NewRun(RequestJson("02", std::string(",\"digest\":[\"") + kDigestOne + "\",\"" + kDigestTwo + "\",\"" +
                                 kDigestThree + "\"]"));
  }

  // Runs with a user who opens the end confirmation once the signing progress
  // shows and answers it with OK after `in_l_until` holds.
  std::string RunEndingWhen(std::function<bool()> in_l_until) {
    m_run_->SetUser([this, in_l_until](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
      if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) {
        io_l_run.EnterPassword(L"ABC123");
        m_password_entered_ = true;
      }
      // The signing progress, not the one shown while the card is looked for.
      if (io_l_screen.Kind() != ScreenKind::kProcessing || !m_password_entered_ || m_alert_opened_) return;
      m_alert_opened_ = true;
      const auto l_alert = io_l_run.OpenEndAlert();
      const auto l_deadline = std::chrono::steady_clock::now() + 20s;
      while (!in_l_until() && std::chrono::steady_clock::now() < l_deadline) std::this_thread::sleep_for(5ms);
      l_alert->OnOK();
    });
    return RunToEnd();
  }

  std::string m_reader_;
  bool m_password_entered_ = false;
  bool m_alert_opened_ = false;
};

TEST_F(EndWhileSigning, AWorkerThatFinishesWhileTheAlertIsOpenPostsNothing) {
  // The worker is done once all three digests are signed and the card is idle.
  const std::string l_answer = RunEndingWhen([this] {
    if (SignCommands(m_reader_) < 3) return false;
    std::this_thread::sleep_for(400ms);
    return true;
  });
  EXPECT_EQ("{\r\n  \"mode\":\"02\",\r\n  \"result\":\"9\"\r\n}", l_answer);
  EXPECT_EQ(3U, SignCommands(m_reader_));
  EXPECT_FALSE(Posted(m_run_->Dispatched(), WM_APP05));
  EXPECT_FALSE(Posted(m_run_->Leftover(), WM_APP05));
}

TEST_F(EndWhileSigning, EndingBetweenDigestsSignsNoFurtherDigest) {
  const std::string l_answer = RunEndingWhen([this] { return SignCommands(m_reader_) >= 1; });
  EXPECT_EQ("{\r\n  \"mode\":\"02\",\r\n  \"result\":\"9\"\r\n}", l_answer);
  EXPECT_FALSE(Posted(m_run_->Leftover(), WM_APP05));
  EXPECT_LT(SignCommands(m_reader_), 3U);
}

// A card that is slow on every command: the user ends the run while it reads
// the card-surface data, which has no digest to stop before.
TEST_F(FlowTest, EndingWhileAWorkerRunsNeverHoldsTheWindowAndAnswersWhenItLeft) {
  Readers({{CardKind::kMyNumber}});
  SlowCard(150ms);
  bool l_entered = false;
  NewRun(RequestJson("03")).SetUser([&l_entered](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) {
      io_l_run.EnterPassword(L"1234");
      l_entered = true;
    } else if (io_l_screen.Kind() == ScreenKind::kProcessing && l_entered) {
      io_l_run.AnswerEndAlert(true);
    }
  });
  EXPECT_EQ("{\r\n  \"mode\":\"03\",\r\n  \"result\":\"9\"\r\n}", RunToEnd());
  EXPECT_TRUE(Posted(m_run_->Dispatched(), WM_APP09)) << "the end step waited for the worker";
  EXPECT_LT(m_run_->LongestDispatch(WM_APP04), 100ms) << "the end step held the window";
  EXPECT_EQ(0U, m_rig_.OpenHandles()) << "the card is released before the run ends";
}

// Many digests on a slow card: a log-in signs the first only.
TEST_F(FlowTest, ALogInSignsItsFirstDigestOnly) {
  Readers({{CardKind::kMyNumber}});
  const std::string l_reader = m_rig_.Readers().ReaderNames().front();
  std::string l_digests;
  for (int l_i = 0; l_i < 200; ++l_i) l_digests += std::string(l_i == 0 ? "" : ",") + "\"" + kDigestOne + "\"";
  NewRun(RequestJson("01", std::string(",\"digest\":[\"") + kDigestLogin + "\"," + l_digests + "]"))
      .SetUser(TypingUser(L"1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_EQ(1U, SignCommands(l_reader));
}

}  // namespace
}  // namespace tavc::test
