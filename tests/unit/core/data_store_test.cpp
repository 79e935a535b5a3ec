#include <gtest/gtest.h>

#include "host/core/data_store.h"

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

}  // namespace
}  // namespace tavc
