// The end confirmation's decisions, and how it holds back card workers that
// finish while it is open.
#include "host/flow/end_alert.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "host/state/run_object_names.h"
#include "platform/named_event.h"
#include "tests/unit/core/recording_poster.h"

namespace tavc {
namespace {

using namespace std::chrono_literals;

class EndAlertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_cancel_ = platform::NamedEvent::Create(CancelEventName());
    m_alert_.Initialize(&m_record_, &m_store_);
  }

  // Sets the process-wide answer to a known value through a throwaway alert.
  void AnswerFirst(bool in_l_ok) {
    test::RecordingPoster l_poster;
    EndAlert l_alert(l_poster);
    l_alert.Initialize(&m_record_, &m_store_);
    ASSERT_EQ(0, l_alert.OnInitDialog());
    in_l_ok ? l_alert.OnOK() : l_alert.OnCancel();
    // A fresh cancel event for what the test does next.
    m_cancel_.Close();
    m_cancel_ = platform::NamedEvent::Create(CancelEventName());
  }

  // ExamineMutex on a worker thread; the future is ready when it returned.
  static std::future<int> WorkerExamines() { return std::async(std::launch::async, &EndAlert::ExamineMutex); }

  platform::NamedEvent m_cancel_;
  test::RecordingPoster m_poster_;
  ErrorInfo m_record_;
  DataStore m_store_;
  EndAlert m_alert_{m_poster_};
};

TEST_F(EndAlertTest, OkEndsTheRunAndCancelsTheCard) {
  AnswerFirst(false);
  ASSERT_EQ(0, m_alert_.OnInitDialog());
  m_alert_.OnOK();
  const auto l_posted = m_poster_.Posted();
  ASSERT_EQ(1U, l_posted.size());
  EXPECT_EQ(WM_APP04, l_posted[0].message);
  EXPECT_EQ(0U, l_posted[0].wparam);
  EXPECT_TRUE(m_cancel_.IsSignalled());
  EXPECT_EQ(1, EndAlert::ExamineMutex());
  EXPECT_EQ(L"", m_record_.GetCode());
}

TEST_F(EndAlertTest, CancelLeavesTheRunGoing) {
  AnswerFirst(true);
  ASSERT_EQ(0, m_alert_.OnInitDialog());
  m_alert_.OnCancel();
  EXPECT_TRUE(m_poster_.Posted().empty());
  EXPECT_FALSE(m_cancel_.IsSignalled());
  EXPECT_EQ(0, EndAlert::ExamineMutex());
}

TEST_F(EndAlertTest, ExamineReturnsAtOnceWithNoAlertOpen) {
  AnswerFirst(true);
  auto l_worker = WorkerExamines();
  ASSERT_EQ(std::future_status::ready, l_worker.wait_for(5s));
  EXPECT_EQ(1, l_worker.get());
}

TEST_F(EndAlertTest, WorkerWaitsForTheUsersAnswer) {
  for (const bool l_ok : {true, false}) {
    AnswerFirst(!l_ok);
    EndAlert l_alert(m_poster_);
    l_alert.Initialize(&m_record_, &m_store_);
    ASSERT_EQ(0, l_alert.OnInitDialog());
    auto l_worker = WorkerExamines();
    EXPECT_EQ(std::future_status::timeout, l_worker.wait_for(50ms));
    l_ok ? l_alert.OnOK() : l_alert.OnCancel();
    ASSERT_EQ(std::future_status::ready, l_worker.wait_for(5s));
    // The worker sees the answer just given, never the one before it.
    EXPECT_EQ(l_ok ? 1 : 0, l_worker.get());
  }
}

TEST_F(EndAlertTest, EndStepOnTheAlertsOwnThreadDoesNotWait) {
  // The end step runs on the same thread as the dialog; a nested end step must
  // not deadlock on the dialog's own mutex.
  AnswerFirst(false);
  ASSERT_EQ(0, m_alert_.OnInitDialog());
  EXPECT_EQ(0, EndAlert::ExamineMutex());
  auto l_worker = WorkerExamines();
  EXPECT_EQ(std::future_status::timeout, l_worker.wait_for(50ms));
  m_alert_.OnOK();
  EXPECT_EQ(1, l_worker.get());
}

TEST_F(EndAlertTest, SecondAlertWhileOneIsOpen) {
  ASSERT_EQ(0, m_alert_.OnInitDialog());
  ErrorInfo l_second_record;
  test::RecordingPoster l_second_poster;
  EndAlert l_second(l_second_poster);
  l_second.Initialize(&l_second_record, &m_store_);
  EXPECT_EQ(1, l_second.OnInitDialog());
  EXPECT_EQ(L"EW044-1199", l_second_record.GetCode());
  EXPECT_EQ(L"0x07010201", l_second_record.GetDetail1());
  // It holds nothing, so it cannot end the run on the first alert's behalf.
  l_second.OnOK();
  EXPECT_TRUE(l_second_poster.Posted().empty());
  m_alert_.OnCancel();
}

TEST_F(EndAlertTest, AlertClosedWithoutAnswerReleasesWorkers) {
  AnswerFirst(true);
  std::future<int> l_worker;
  {
    EndAlert l_alert(m_poster_);
    l_alert.Initialize(&m_record_, &m_store_);
    ASSERT_EQ(0, l_alert.OnInitDialog());
    l_worker = WorkerExamines();
    EXPECT_EQ(std::future_status::timeout, l_worker.wait_for(20ms));
  }
  ASSERT_EQ(std::future_status::ready, l_worker.wait_for(5s));
  EXPECT_EQ(1, l_worker.get());
}

}  // namespace
}  // namespace tavc
