// Starting the card workers: where a failure to start is recorded, and what a
// worker reports.
#include "host/card/card_access_thread.h"

#include <gtest/gtest.h>

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

class CardAccessThreadStart : public ::testing::Test {
 protected:
  test::ScriptedSCardApi m_api_;
  test::RecordingPoster m_poster_;
  ErrorInfo m_error_;
  DataStore m_store_;
  ResultData m_result_;
};

TEST_F(CardAccessThreadStart, AFailedStartRecordsItsLocationAndPostsNothing) {
  ThreadlessCardAccess l_access(m_api_, m_poster_);
  EXPECT_EQ(1, l_access.CreateThreadForEstablishJpki(&m_error_, &m_store_, &m_result_));
  EXPECT_EQ(L"EW044-0199", m_error_.GetCode());
  EXPECT_EQ(L"0x80020104", m_error_.GetDetail1());
  // The workers without arguments record into the record the establish step kept.
  EXPECT_EQ(1, l_access.CreateThreadForLogin());
  EXPECT_EQ(L"0x80020201", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForSignGpkiAp());
  EXPECT_EQ(L"0x80024601", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForChangeGpkiApPassword(&m_error_, &m_store_));
  EXPECT_EQ(L"0x80024d03", m_error_.GetDetail1());
  EXPECT_TRUE(m_poster_.Posted().empty());
}

TEST_F(CardAccessThreadStart, MissingArgumentsAreCountedInOrder) {
  CardAccessThread l_access(m_api_, m_poster_);
  EXPECT_EQ(1, l_access.CreateThreadForEstablishPersonalInfo(&m_error_, nullptr, &m_result_));
  EXPECT_EQ(L"0x80020502", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForEstablishGpkiAp(&m_error_, &m_store_, nullptr));
  EXPECT_EQ(L"0x80024103", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForSignWithConfirm(nullptr));
  EXPECT_EQ(L"0x80022701", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForSignGpkiApWithConfirm(nullptr, nullptr));
  EXPECT_EQ(L"0x80024a01", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForSignWithCryptoAPI(&m_error_, &m_store_, &m_result_, nullptr));
  EXPECT_EQ(L"0x80023004", m_error_.GetDetail1());
  EXPECT_EQ(1, l_access.CreateThreadForChangePassword(nullptr, &m_store_)) << "no record to write into";
  EXPECT_TRUE(m_poster_.Posted().empty());
}

TEST_F(CardAccessThreadStart, TheEstablishWorkerReportsTheCardCheck) {
  m_api_.SetListResult(platform::kScardENoReadersAvailable);
  m_store_.SetMode(L"03");
  CardAccessThread l_access(m_api_, m_poster_);
  ASSERT_EQ(0, l_access.CreateThreadForEstablishPersonalInfo(&m_error_, &m_store_, &m_result_));
  ASSERT_TRUE(m_poster_.WaitForPosts(1));
  const auto l_posted = m_poster_.Posted();
  EXPECT_EQ(WM_APP02, l_posted[0].message);
  EXPECT_NE(0U, l_posted[0].wparam);
  EXPECT_EQ(L"EW340-2010", m_error_.GetCode()) << "no reader in the card-surface modes";
  EXPECT_EQ(0, l_access.ValidateCardSessionPersonalInfo()) << "the presence check leaves no session open";
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

}  // namespace
}  // namespace tavc
