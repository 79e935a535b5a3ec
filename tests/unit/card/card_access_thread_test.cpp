// Starting the card workers: where a failure to start is recorded, and what a
// worker reports.
#include "host/flow/card_access_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <new>
#include <thread>

#include "host/flow/end_alert.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/core/recording_poster.h"

namespace tavc {
namespace {

// A system that cannot make threads.
class ThreadlessCardAccess final : public CardAccessThread {
 public:
  using CardAccessThread::CardAccessThread;

 protected:
  bool StartWorker(std::function<void()>) override { return false; }
};

// Workers that wait at their very start, before they take the lock, until let go.
class HeldCardAccess final : public CardAccessThread {
 public:
  using CardAccessThread::CardAccessThread;
  void LetGo() {
    {
      std::lock_guard<std::mutex> l_lock(m_mutex_);
      m_held_ = false;
    }
    m_changed_.notify_all();
  }

 protected:
  bool StartWorker(std::function<void()> in_l_body) override {
    return CardAccessThread::StartWorker([this, in_l_body] {
      {
        std::unique_lock<std::mutex> l_lock(m_mutex_);
        m_changed_.wait(l_lock, [this] { return !m_held_; });
      }
      in_l_body();
    });
  }

 private:
  std::mutex m_mutex_;
  std::condition_variable m_changed_;
  bool m_held_ = true;
};

class CardAccessThreadStart : public ::testing::Test {
 public:
  test::ScriptedSCardApi m_api_;
  test::RecordingPoster m_poster_;
  ErrorInfo m_error_;
  DataStore m_store_;
  ResultData m_result_;
};

TEST_F(CardAccessThreadStart, AFailedStartRecordsItsLocationAndPostsNothing) {
  ThreadlessCardAccess l_access(m_api_, m_poster_);
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForEstablishJpki(&m_error_, &m_store_, &m_result_));
  EXPECT_EQ(L"EW044-0199", m_error_.GetCode());
  EXPECT_EQ(L"0x80020104", m_error_.GetDetail1());
  // The workers without arguments record into the record the establish step kept.
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForLogin());
  EXPECT_EQ(L"0x80020201", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForSignGpkiAp());
  EXPECT_EQ(L"0x80024601", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForChangeGpkiApPassword(&m_error_, &m_store_));
  EXPECT_EQ(L"0x80024d03", m_error_.GetDetail1());
  EXPECT_TRUE(m_poster_.Posted().empty());
}

TEST_F(CardAccessThreadStart, MissingArgumentsAreCountedInOrder) {
  CardAccessThread l_access(m_api_, m_poster_);
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForEstablishPersonalInfo(&m_error_, nullptr, &m_result_));
  EXPECT_EQ(L"0x80020502", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForEstablishGpkiAp(&m_error_, &m_store_, nullptr));
  EXPECT_EQ(L"0x80024103", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForSignWithConfirm(nullptr));
  EXPECT_EQ(L"0x80022701", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForSignGpkiApWithConfirm(nullptr, nullptr));
  EXPECT_EQ(L"0x80024a01", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForSignWithCryptoAPI(&m_error_, &m_store_, &m_result_, nullptr));
  EXPECT_EQ(L"0x80023004", m_error_.GetDetail1());
  EXPECT_EQ(WorkerStart::kNotStarted, l_access.CreateThreadForChangePassword(nullptr, &m_store_)) << "no record to write into";
  EXPECT_TRUE(m_poster_.Posted().empty());
}

TEST_F(CardAccessThreadStart, TheEstablishWorkerReportsTheCardCheck) {
  m_api_.SetListResult(platform::kScardENoReadersAvailable);
  m_store_.SetMode(L"03");
  CardAccessThread l_access(m_api_, m_poster_);
  ASSERT_EQ(WorkerStart::kStarted, l_access.CreateThreadForEstablishPersonalInfo(&m_error_, &m_store_, &m_result_));
  ASSERT_TRUE(m_poster_.WaitForPosts(1));
  const auto l_posted = m_poster_.Posted();
  EXPECT_EQ(WM_APP02, l_posted[0].message);
  EXPECT_NE(0U, l_posted[0].wparam);
  EXPECT_EQ(L"EW340-2010", m_error_.GetCode()) << "no reader in the card-surface modes";
  EXPECT_EQ(0, l_access.ValidateCardSessionPersonalInfo()) << "the presence check leaves no session open";
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

// The user ends the run just after a worker started, before it opened its
// session: the end step must not answer while the worker writes, nor wait for
// it on the user-interface thread. The worker tells it when it has left.
TEST_F(CardAccessThreadStart, TheEndStepIsToldWhenAWorkerThatHasNotOpenedItsSessionLeaves) {
  m_api_.SetListResult(platform::kScardENoReadersAvailable);
  m_store_.SetMode(L"01");
  HeldCardAccess l_access(m_api_, m_poster_);
  ASSERT_EQ(WorkerStart::kStarted, l_access.CreateThreadForEstablishJpki(&m_error_, &m_store_, &m_result_));
  EXPECT_FALSE(l_access.ReleaseAtEnd(CardAccessThread::EndSession::kJpki)) << "returns at once while it runs";
  l_access.LetGo();
  ASSERT_TRUE(m_poster_.WaitForPosts(1));
  EXPECT_EQ(WM_APP09, m_poster_.Posted()[0].message) << "the end step is told, instead of the worker's result";
  EXPECT_TRUE(l_access.ReleaseAtEnd(CardAccessThread::EndSession::kJpki));
  EXPECT_EQ(L"EW140-1510", m_error_.GetCode()) << "the worker's record is complete when the end step goes on";
  EXPECT_EQ(1U, m_poster_.Posted().size());
}

// A worker that finished while the end confirmation is open waits for the
// user's answer; starting the next one must not wait for it, or the
// confirmation (shown by the same thread) could never be answered.
TEST_F(CardAccessThreadStart, StartingAWorkerDoesNotWaitForOneThatWaitsForTheEndConfirmation) {
  m_api_.SetListResult(platform::kScardENoReadersAvailable);
  m_store_.SetMode(L"01");
  EndAlert::ResetAnswer();
  CardAccessThread l_access(m_api_, m_poster_);
  ASSERT_EQ(WorkerStart::kStarted, l_access.CreateThreadForEstablishJpki(&m_error_, &m_store_, &m_result_));
  ASSERT_TRUE(m_poster_.WaitForPosts(1));
  EndAlert l_alert(m_poster_);
  l_alert.Initialize(&m_error_, &m_store_);
  ASSERT_EQ(0, l_alert.OnInitDialog());
  // Fails without a reader, then waits in its report for the user's answer.
  ASSERT_EQ(WorkerStart::kStarted, l_access.CreateThreadForLogin());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto l_next = std::async(std::launch::async, [&l_access] { return l_access.CreateThreadForLogin(); });
  const bool l_started_at_once = l_next.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
  l_alert.OnCancel();
  EXPECT_TRUE(l_started_at_once);
  EXPECT_EQ(WorkerStart::kStarted, l_next.get());
  EXPECT_TRUE(m_poster_.WaitForPosts(3));
}

// A credential whose reading fails in a way nobody foresaw.
class ThrowingCertificate final : public Certificate {
 public:
  ThrowingCertificate() : Certificate(nullptr, nullptr, nullptr) {}
  int ReadCertificate() override { throw std::bad_alloc(); }
  int ComputeSignature() override { throw std::bad_alloc(); }
  int ReadCertificateDetail() override { return 0; }
  void ReleaseResource() override {}
  void ReadCertExtension() override {}
};

// Whatever a worker's body throws, the frame gets its one message with a failure
// and the worker's generic code, and no card handle stays open.
TEST_F(CardAccessThreadStart, EveryWorkerTurnsAnExceptionIntoItsGenericCode) {
  struct Case {
    const char* name;
    const wchar_t* mode;
    std::function<WorkerStart(CardAccessThread&, CardAccessThreadStart&, Certificate*)> start;
    std::uint32_t message;
    const wchar_t* code;
    const wchar_t* detail;
  };
  using Self = CardAccessThreadStart;
  const Case l_cases[] = {
      {"establish JPKI", L"01", [](CardAccessThread& a, Self& t, Certificate*) {
         return a.CreateThreadForEstablishJpki(&t.m_error_, &t.m_store_, &t.m_result_); },
       WM_APP02, L"EW044-2099", L"0x800201ff"},
      {"log in", L"01", [](CardAccessThread& a, Self&, Certificate*) { return a.CreateThreadForLogin(); },
       WM_APP05, L"EW044-1899", L"0x800202ff"},
      {"sign", L"02", [](CardAccessThread& a, Self&, Certificate*) { return a.CreateThreadForSign(); },
       WM_APP05, L"EW044-1899", L"0x800204ff"},
      {"establish personal info", L"03", [](CardAccessThread& a, Self& t, Certificate*) {
         return a.CreateThreadForEstablishPersonalInfo(&t.m_error_, &t.m_store_, &t.m_result_); },
       WM_APP02, L"EW044-2099", L"0x800205ff"},
      {"personal info", L"03", [](CardAccessThread& a, Self&, Certificate*) {
         return a.CreateThreadForMyNumberPersonalInfo(); },
       WM_APP05, L"EW044-2299", L"0x800206ff"},
      {"change password", L"06", [](CardAccessThread& a, Self& t, Certificate*) {
         return a.CreateThreadForChangePassword(&t.m_error_, &t.m_store_); },
       WM_APP05, L"EW044-3199", L"0x800224ff"},
      {"sign with confirmation", L"07", [](CardAccessThread& a, Self&, Certificate* c) {
         return a.CreateThreadForSignWithConfirm(c); },
       WM_APP05, L"EW044-1899", L"0x800227ff"},
      {"sign with a stored credential", L"02", [](CardAccessThread& a, Self& t, Certificate* c) {
         return a.CreateThreadForSignWithCryptoAPI(&t.m_error_, &t.m_store_, &t.m_result_, c); },
       WM_APP08, L"EW044-3399", L"0x800230ff"},
      {"establish GPKI", L"11", [](CardAccessThread& a, Self& t, Certificate*) {
         return a.CreateThreadForEstablishGpkiAp(&t.m_error_, &t.m_store_, &t.m_result_); },
       WM_APP02, L"EW044-3999", L"0x800241ff"},
      {"sign GPKI", L"11", [](CardAccessThread& a, Self&, Certificate*) { return a.CreateThreadForSignGpkiAp(); },
       WM_APP05, L"EW044-4599", L"0x800246ff"},
      {"sign GPKI with confirmation", L"12", [](CardAccessThread& a, Self&, Certificate* c) {
         return a.CreateThreadForSignGpkiApWithConfirm(c, c); },
       WM_APP05, L"EW044-4599", L"0x80024aff"},
      {"change GPKI password", L"13", [](CardAccessThread& a, Self& t, Certificate*) {
         return a.CreateThreadForChangeGpkiApPassword(&t.m_error_, &t.m_store_); },
       WM_APP05, L"EW044-4699", L"0x80024dff"},
  };
  EndAlert::ResetAnswer();
  for (const Case& l_case : l_cases) {
    SCOPED_TRACE(l_case.name);
    test::ScriptedSCardApi l_api;
    l_api.AddReader(L"Reader 0");
    test::RecordingPoster l_poster;
    ThrowingCertificate l_certificate;
    m_error_ = ErrorInfo{};
    m_store_.SetMode(l_case.mode);
    m_store_.SetPassword(L"1234");
    CardAccessThread l_access(l_api, l_poster);
    // The workers without arguments write into the records the last starter with them kept.
    l_api.SetListResult(platform::kScardENoReadersAvailable);
    ASSERT_EQ(WorkerStart::kStarted, l_access.CreateThreadForEstablishJpki(&m_error_, &m_store_, &m_result_));
    ASSERT_TRUE(l_poster.WaitForPosts(1));
    l_api.SetListResult(platform::kScardSuccess);
    l_api.Expect("...", {platform::kScardSuccess, {}, [] { throw std::bad_alloc(); }});

    ASSERT_EQ(WorkerStart::kStarted, l_case.start(l_access, *this, &l_certificate));
    ASSERT_TRUE(l_poster.WaitForPosts(2));
    const auto l_posted = l_poster.Posted();
    ASSERT_EQ(2U, l_posted.size());
    EXPECT_EQ(l_case.message, l_posted[1].message);
    EXPECT_EQ(WorkerResult::kFailed, WorkerResultOf(l_posted[1].wparam));
    EXPECT_EQ(l_case.code, m_error_.GetCode());
    EXPECT_EQ(l_case.detail, m_error_.GetDetail1());
    EXPECT_EQ(0U, l_api.OpenHandles()) << "not even the reader being probed stays connected";
  }
}

}  // namespace
}  // namespace tavc
