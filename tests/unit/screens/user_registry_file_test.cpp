// The file-backed registry of the POSIX build, and the UUID copies kept in it
// from one run to the next.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/flow/start_up_check.h"
#include "platform/user_registry.h"

namespace tavc {
namespace {

class FileRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    char l_template[] = "/tmp/tav-registry-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(l_template));
    m_root_ = l_template;
    m_registry_ = platform::UserRegistryAt(m_root_ + "/store");
  }
  void TearDown() override { std::filesystem::remove_all(m_root_); }

  std::string m_root_;
  std::unique_ptr<platform::UserRegistry> m_registry_;
};

TEST_F(FileRegistry, TextRoundTripsExactly) {
  ASSERT_EQ(0U, m_registry_->WriteText(L"Software\\TAV", L"UUID", L"AB\u00e9"));
  platform::RegistryValue l_value;
  ASSERT_EQ(0U, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 6, l_value));
  EXPECT_EQ(platform::kRegistryText, l_value.type);
  EXPECT_EQ((std::vector<std::uint8_t>{'A', 0, 'B', 0, 0xE9, 0}), l_value.data);
  EXPECT_EQ(platform::kRegistryMoreData, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 5, l_value));
}

TEST_F(FileRegistry, MissingKeysAndValues) {
  platform::RegistryValue l_value;
  EXPECT_EQ(platform::kRegistryNotFound, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 64, l_value));
  ASSERT_EQ(0U, m_registry_->WriteText(L"Software\\TAV", L"Other", L"x"));
  EXPECT_EQ(platform::kRegistryNotFound, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 64, l_value));
}

TEST_F(FileRegistry, KeyPathsStayInsideTheStore) {
  platform::RegistryValue l_value;
  for (const wchar_t* l_key : {L"Software\\..\\..\\etc", L"Software\\\\TAV", L"Software/TAV", L"", L"TAV\\"}) {
    EXPECT_EQ(platform::kRegistryInvalidParameter, m_registry_->WriteText(l_key, L"UUID", L"x")) << l_key;
    EXPECT_EQ(platform::kRegistryInvalidParameter, m_registry_->ReadValue(l_key, L"UUID", 64, l_value)) << l_key;
  }
  EXPECT_EQ(platform::kRegistryInvalidParameter, m_registry_->WriteText(L"Software\\TAV", L"..", L"x"));
}

TEST_F(FileRegistry, ShortOrForeignFilesAreNoValues) {
  ASSERT_EQ(0U, m_registry_->WriteText(L"Software\\TAV", L"UUID", L"x"));
  const std::string l_file = m_root_ + "/store/Software/TAV/UUID.value";
  std::ofstream(l_file, std::ios::binary | std::ios::trunc) << "ab";
  platform::RegistryValue l_value;
  EXPECT_NE(0U, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 64, l_value));
}

TEST_F(FileRegistry, TheStoreIsPrivateBoundedAndNeverFollowsALink) {
  ASSERT_EQ(0U, m_registry_->WriteText(L"Software\\TAV", L"UUID", L"0123456789ABCDEF0123456789ABCDEF"));
  struct stat l_stat {};
  for (const char* l_folder : {"/store", "/store/Software", "/store/Software/TAV"}) {
    ASSERT_EQ(0, stat((m_root_ + l_folder).c_str(), &l_stat));
    EXPECT_EQ(0700U, l_stat.st_mode & 0777U) << l_folder;
  }
  const std::string l_file = m_root_ + "/store/Software/TAV/UUID.value";
  ASSERT_EQ(0, stat(l_file.c_str(), &l_stat));
  EXPECT_EQ(0600U, l_stat.st_mode & 0777U);
  platform::RegistryValue l_value;
  EXPECT_EQ(platform::kRegistryMoreData, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 63, l_value))
      << "a value larger than asked for is refused before it is read";
  // A link put in the value's place is neither read nor written through.
  const std::string l_elsewhere = m_root_ + "/elsewhere";
  std::ofstream(l_elsewhere, std::ios::binary) << "keep";
  ASSERT_EQ(0, unlink(l_file.c_str()));
  ASSERT_EQ(0, symlink(l_elsewhere.c_str(), l_file.c_str()));
  EXPECT_NE(0U, m_registry_->ReadValue(L"Software\\TAV", L"UUID", 512, l_value));
  ASSERT_EQ(0U, m_registry_->WriteText(L"Software\\TAV", L"UUID", L"x"));
  std::ifstream l_kept(l_elsewhere, std::ios::binary);
  EXPECT_EQ("keep", std::string(std::istreambuf_iterator<char>(l_kept), {}));
  ASSERT_EQ(0, lstat(l_file.c_str(), &l_stat));
  EXPECT_TRUE(S_ISREG(l_stat.st_mode)) << "the write replaced the link with a value of its own";
}

TEST_F(FileRegistry, UuidSurvivesRunsAndIsRestored) {
  std::string l_first;
  {
    StartUpCheck l_check(*m_registry_);
    ErrorInfo l_record;
    ResultData l_result;
    DataStore l_store;
    ASSERT_EQ(0, l_check.GetUuid(&l_record, &l_result, &l_store));
    ASSERT_EQ(32U, l_result.GetUuid().size());
    l_first.assign(l_result.GetUuid().begin(), l_result.GetUuid().end());
  }
  // The normal copy deleted: the next run finds the same UUID in the other one.
  ASSERT_TRUE(std::filesystem::remove(m_root_ + "/store/Software/TAV/UUID.value"));
  StartUpCheck l_check(*m_registry_);
  ErrorInfo l_record;
  ResultData l_result;
  DataStore l_store;
  ASSERT_EQ(0, l_check.GetUuid(&l_record, &l_result, &l_store));
  EXPECT_EQ(std::wstring(l_first.begin(), l_first.end()), l_result.GetUuid());
  EXPECT_TRUE(std::filesystem::exists(m_root_ + "/store/Software/TAV/UUID.value"));
  // The low-integrity copy carries the user in its path.
  std::wstring l_sid;
  ASSERT_TRUE(m_registry_->GetUserSid(l_sid));
  EXPECT_EQ(L"S-1-22-1-", l_sid.substr(0, 9));
}

TEST_F(FileRegistry, NewGuidsDiffer) {
  platform::Guid l_a;
  platform::Guid l_b;
  ASSERT_TRUE(m_registry_->CreateGuid(l_a));
  ASSERT_TRUE(m_registry_->CreateGuid(l_b));
  EXPECT_FALSE(l_a.data1 == l_b.data1 && l_a.data4 == l_b.data4);
  EXPECT_EQ(0x4000, l_a.data3 & 0xF000);
}

}  // namespace
}  // namespace tavc
#endif
