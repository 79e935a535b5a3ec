#include <gtest/gtest.h>

#include <thread>

#include "host/state/data_store.h"
#include "host/state/result_data.h"

namespace tavc {
namespace {

TEST(DataStore, DefaultsAndDigestOrder) {
  DataStore l_store;
  EXPECT_EQ(L"ja", l_store.GetLanguage());
  EXPECT_EQ(0.0, l_store.GetScaleX());
  EXPECT_EQ(0.0, l_store.GetScaleY());
  EXPECT_TRUE(l_store.GetDigest().empty());
  l_store.SetDigest(L"aa");
  l_store.SetDigest(L"bb");
  EXPECT_EQ((std::vector<std::wstring>{L"aa", L"bb"}), l_store.GetDigest());
}

TEST(DataStore, PasswordsAreReplacedAndEmptied) {
  DataStore l_store;
  l_store.SetPassword(L"123456789012345678901234567890");
  l_store.SetPassword(L"");
  EXPECT_EQ(L"", l_store.GetPassword());
  l_store.SetNewPassword(L"ABC");
  EXPECT_EQ(L"ABC", l_store.GetNewPassword());
}

// The processing screen counts the signatures while the signing worker appends
// them (a data race ThreadSanitizer reports if either side goes unlocked).
TEST(ResultData, SignaturesCanBeCountedWhileAWorkerAppends) {
  constexpr std::size_t kSignatures = 200;
  ResultData l_result;
  std::thread l_worker([&l_result] {
    for (std::size_t l_i = 0; l_i < kSignatures; ++l_i) l_result.SetSignature(std::wstring(512, L'a'));
  });
  std::size_t l_last = 0;
  while (l_last < kSignatures) {
    const std::size_t l_count = l_result.GetSignatureCount();
    ASSERT_GE(l_count, l_last) << "the count never goes back";
    l_last = l_count;
  }
  l_worker.join();
  EXPECT_EQ(kSignatures, l_result.GetSignature().size());
}

}  // namespace
}  // namespace tavc
