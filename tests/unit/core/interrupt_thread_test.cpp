// The interrupt watcher: what each kind of later input records, whether it
// cancels the card operation, and that the end step stops it quietly.
#include "host/flow/interrupt_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "host/state/run_object_names.h"
#include "tests/support/scripted_input.h"
#include "tests/unit/core/fake_std_streams.h"
#include "tests/unit/core/recording_poster.h"

namespace tavc {
namespace {

using namespace std::chrono_literals;
using test::Frame;
using test::LengthPrefix;
using test::ScriptedInput;

class InterruptWatcher : public ::testing::Test {
 protected:
  void SetUp() override { m_cancel_ = platform::NamedEvent::Create(CancelEventName()); }

  // Starts the watcher and waits for its one message; the code it recorded.
  std::wstring RunUntilPosted() {
    EXPECT_EQ(WorkerStart::kStarted, m_watcher_.CreateThreadForInterrupt(m_record_, m_store_));
    EXPECT_TRUE(m_poster_.WaitForPosts(1));
    EXPECT_TRUE(m_input_.WaitClosed());
    const auto l_posted = m_poster_.Posted();
    EXPECT_EQ(1U, l_posted.size());
    if (!l_posted.empty()) {
      EXPECT_EQ(WM_APP06, l_posted[0].message);
      EXPECT_EQ(0U, l_posted[0].wparam);
      EXPECT_EQ(0, l_posted[0].lparam);
    }
    EXPECT_EQ(1, m_store_.GetInterruptState());
    EXPECT_EQ(L"", m_record_.GetDetail1());
    return m_record_.GetCode();
  }

  platform::NamedEvent m_cancel_;
  ScriptedInput m_input_;
  test::RecordingPoster m_poster_;
  ErrorInfo m_record_;
  DataStore m_store_;
  // Last: it ends before what it writes.
  InterruptThread m_watcher_{m_input_, m_poster_, 2ms};
};

TEST_F(InterruptWatcher, ClosedPipeEndsTheRunWithoutAnswerAndCancelsTheCard) {
  m_input_.Break();
  EXPECT_EQ(L"EW044-2400", RunUntilPosted());
  EXPECT_TRUE(m_cancel_.IsSignalled());
}

TEST_F(InterruptWatcher, CancelFrameEndsTheRunWithoutAnswer) {
  m_input_.Feed(Frame(R"({"mode":"05"})"));
  EXPECT_EQ(L"EW044-2400", RunUntilPosted());
  EXPECT_TRUE(m_cancel_.IsSignalled());
}

TEST_F(InterruptWatcher, OtherFramesAreAnsweredWithAnError) {
  m_input_.Feed(Frame(R"({"mode":"01","latest_version":"3"})"));
  EXPECT_EQ(L"EW042-2402", RunUntilPosted());
  EXPECT_TRUE(m_cancel_.IsSignalled());
}

TEST_F(InterruptWatcher, FrameWithoutModeIsAnotherFrame) {
  m_input_.Feed(Frame("{}"));
  EXPECT_EQ(L"EW042-2402", RunUntilPosted());
}

TEST_F(InterruptWatcher, UnparsableFrame) {
  m_input_.Feed(Frame(R"({"mode":05})"));
  EXPECT_EQ(L"EW042-2401", RunUntilPosted());
  EXPECT_TRUE(m_cancel_.IsSignalled());
}

TEST_F(InterruptWatcher, ZeroLengthPrefix) {
  m_input_.Feed(LengthPrefix(0));
  EXPECT_EQ(L"EW042-2400", RunUntilPosted());
  EXPECT_FALSE(m_cancel_.IsSignalled());
}

TEST_F(InterruptWatcher, AllOnesLengthPrefix) {
  m_input_.Feed(LengthPrefix(0xFFFFFFFFu));
  m_input_.Feed(R"({"mode":"05"})");
  EXPECT_EQ(L"EW042-2400", RunUntilPosted());
}

TEST_F(InterruptWatcher, FrameArrivingInPiecesIsReadWholeAndNothingBeyondIt) {
  const std::vector<std::uint8_t> l_frame = Frame(R"({"mode":"05"})");
  m_input_.Feed(std::vector<std::uint8_t>(l_frame.begin(), l_frame.begin() + 2));
  ASSERT_EQ(WorkerStart::kStarted, m_watcher_.CreateThreadForInterrupt(m_record_, m_store_));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(0, m_store_.GetInterruptState());
  m_input_.Feed(std::vector<std::uint8_t>(l_frame.begin() + 2, l_frame.begin() + 9));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(0, m_store_.GetInterruptState());
  m_input_.Feed(std::vector<std::uint8_t>(l_frame.begin() + 9, l_frame.end()));
  m_input_.Feed("next");
  ASSERT_TRUE(m_poster_.WaitForPosts(1));
  EXPECT_EQ(L"EW044-2400", m_record_.GetCode());
  EXPECT_EQ(4U, m_input_.Unread());
}

TEST_F(InterruptWatcher, LongFrameIsCutToTheBuffer) {
  // A cancel frame padded far beyond the buffer: only the buffer is read and parsed.
  std::string l_json = R"({"mode":"05"})";
  l_json.resize(3 * InterruptThread::kBufferCharacters, ' ');
  m_input_.Feed(Frame(l_json));
  EXPECT_EQ(L"EW044-2400", RunUntilPosted());
  EXPECT_EQ(l_json.size() - InterruptThread::kBufferCharacters, m_input_.Unread());
}

TEST_F(InterruptWatcher, InputEndingInsideAFrameLeavesAnUnparsableFrame) {
  m_input_.Feed(LengthPrefix(40));
  m_input_.Feed(R"({"mode":"05"})");
  m_input_.FeedEndOfFile();
  EXPECT_EQ(L"EW042-2401", RunUntilPosted());
}

TEST_F(InterruptWatcher, AReadThatThrowsEndsTheRunWithTheWatchersCode) {
  m_input_.Feed(LengthPrefix(13));
  m_input_.FeedFailure();
  ASSERT_EQ(WorkerStart::kStarted, m_watcher_.CreateThreadForInterrupt(m_record_, m_store_));
  ASSERT_TRUE(m_poster_.WaitForPosts(1));
  EXPECT_TRUE(m_input_.WaitClosed());
  EXPECT_EQ(1U, m_poster_.Posted().size());
  EXPECT_EQ(WM_APP06, m_poster_.Posted()[0].message);
  EXPECT_EQ(1, m_store_.GetInterruptState());
  EXPECT_EQ(L"EW044-2499", m_record_.GetCode());
  EXPECT_EQ(L"0x800702ff", m_record_.GetDetail1());
  EXPECT_TRUE(m_cancel_.IsSignalled()) << "the card operation stops too";
}

TEST_F(InterruptWatcher, EndStepStopsItQuietly) {
  ASSERT_EQ(WorkerStart::kStarted, m_watcher_.CreateThreadForInterrupt(m_record_, m_store_));
  platform::NamedEvent l_stop = platform::NamedEvent::Open(InterruptEventName());
  ASSERT_TRUE(l_stop.IsValid());
  ASSERT_TRUE(l_stop.Set());
  ASSERT_TRUE(m_input_.WaitClosed());
  m_input_.Feed(Frame(R"({"mode":"05"})"));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(m_poster_.Posted().empty());
  EXPECT_EQ(0, m_store_.GetInterruptState());
  EXPECT_EQ(L"", m_record_.GetCode());
  EXPECT_FALSE(m_cancel_.IsSignalled());
}

TEST_F(InterruptWatcher, RecordIsCompleteOnceTheStateIsSeen) {
  m_input_.Feed(Frame(R"({"mode":"01"})"));
  ASSERT_EQ(WorkerStart::kStarted, m_watcher_.CreateThreadForInterrupt(m_record_, m_store_));
  const auto l_limit = std::chrono::steady_clock::now() + 10s;
  while (m_store_.GetInterruptState() == 0 && std::chrono::steady_clock::now() < l_limit) {
  }
  ASSERT_EQ(1, m_store_.GetInterruptState());
  EXPECT_EQ(L"EW042-2402", m_record_.GetCode());
}

TEST(InterruptWatcherLife, EndsWithItsOwnerWhileWaiting) {
  ScriptedInput l_input;
  test::RecordingPoster l_poster;
  ErrorInfo l_record;
  DataStore l_store;
  const auto l_start = std::chrono::steady_clock::now();
  {
    InterruptThread l_watcher(l_input, l_poster);
    ASSERT_EQ(WorkerStart::kStarted, l_watcher.CreateThreadForInterrupt(l_record, l_store));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - l_start, InterruptThread::kPeriod);
  EXPECT_TRUE(l_poster.Posted().empty());
}

TEST(InterruptWatcherLife, StartsOnlyOnce) {
  ScriptedInput l_input;
  test::RecordingPoster l_poster;
  ErrorInfo l_record;
  DataStore l_store;
  InterruptThread l_watcher(l_input, l_poster, 2ms);
  ASSERT_EQ(WorkerStart::kStarted, l_watcher.CreateThreadForInterrupt(l_record, l_store));
  EXPECT_EQ(WorkerStart::kNotStarted, l_watcher.CreateThreadForInterrupt(l_record, l_store));
  EXPECT_EQ(L"EW044-2499", l_record.GetCode());
  EXPECT_EQ(L"0x80070101", l_record.GetDetail1());
}

}  // namespace
}  // namespace tavc
