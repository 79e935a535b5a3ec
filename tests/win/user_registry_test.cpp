// The installation UUID in the real registry of the current user (the wine
// prefix's), with the user's SID from the process token.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/flow/start_up_check.h"
#include "platform/user_registry.h"

namespace tavc {
namespace {

std::wstring LowKey() {
  std::wstring l_sid;
  EXPECT_TRUE(platform::ProcessUserRegistry().GetUserSid(l_sid));
  return std::wstring(StartUpCheck::kLowIntegrityKeyRoot) + L"\\" + l_sid + L"\\" + StartUpCheck::kUuidKey;
}

void DeleteKey(const std::wstring& in_l_key) { RegDeleteTreeW(HKEY_CURRENT_USER, in_l_key.c_str()); }

void SetRaw(const std::wstring& in_l_key, DWORD in_l_type, const void* in_l_data, DWORD in_l_size) {
  HKEY l_key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, in_l_key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &l_key, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(l_key, L"UUID", 0, in_l_type, static_cast<const BYTE*>(in_l_data), in_l_size));
  RegCloseKey(l_key);
}

// The value exactly as stored: type and byte count.
std::wstring ReadRaw(const std::wstring& in_l_key, DWORD& out_l_type, DWORD& out_l_size) {
  wchar_t l_buffer[64] = {};
  out_l_size = sizeof(l_buffer);
  out_l_type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, in_l_key.c_str(), L"UUID", RRF_RT_ANY | RRF_NOEXPAND, &out_l_type, l_buffer,
                   &out_l_size) != ERROR_SUCCESS) {
    return L"";
  }
  return std::wstring(l_buffer, out_l_size / sizeof(wchar_t));
}

class RegistryUuid : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteKey(StartUpCheck::kUuidKey);
    DeleteKey(LowKey());
    m_store_.SetMode(L"01");
  }
  void TearDown() override { SetUp(); }

  std::wstring Run() {
    StartUpCheck l_check;
    ErrorInfo l_record;
    ResultData l_result;
    EXPECT_EQ(0, l_check.GetUuid(&l_record, &l_result, &m_store_));
    EXPECT_EQ(L"", l_record.GetCode());
    return l_result.GetUuid();
  }

  DataStore m_store_;
};

TEST_F(RegistryUuid, FirstRunWritesBothCopiesWithoutTerminator) {
  const std::wstring l_uuid = Run();
  ASSERT_EQ(32U, l_uuid.size());
  for (const std::wstring& l_key : {std::wstring(StartUpCheck::kUuidKey), LowKey()}) {
    DWORD l_type = 0;
    DWORD l_size = 0;
    // 32 characters; the system adds its terminator to what was passed.
    EXPECT_EQ(l_uuid, ReadRaw(l_key, l_type, l_size).c_str());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), l_type);
    EXPECT_LE(l_size, 66U);
  }
  EXPECT_EQ(l_uuid, Run());
}

TEST_F(RegistryUuid, DeletedNormalCopyIsRestored) {
  const std::wstring l_uuid = Run();
  DeleteKey(StartUpCheck::kUuidKey);
  EXPECT_EQ(l_uuid, Run());
  DWORD l_type = 0;
  DWORD l_size = 0;
  EXPECT_EQ(l_uuid, ReadRaw(StartUpCheck::kUuidKey, l_type, l_size).c_str());
}

TEST_F(RegistryUuid, ForeignValuesAreReplaced) {
  const std::wstring l_uuid = Run();
  const DWORD l_number = 0x12345678;
  SetRaw(StartUpCheck::kUuidKey, REG_DWORD, &l_number, sizeof(l_number));
  EXPECT_EQ(l_uuid, Run());

  const std::wstring l_huge(4000, L'A');
  SetRaw(StartUpCheck::kUuidKey, REG_SZ, l_huge.data(), static_cast<DWORD>(l_huge.size() * sizeof(wchar_t)));
  EXPECT_EQ(l_uuid, Run());

  // The same text as binary data is no UUID either.
  SetRaw(LowKey(), REG_BINARY, l_uuid.data(), 64);
  EXPECT_EQ(l_uuid, Run());
  DWORD l_type = 0;
  DWORD l_size = 0;
  ReadRaw(LowKey(), l_type, l_size);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), l_type);
}

TEST(UserRegistry, SidAndGuid) {
  std::wstring l_sid;
  ASSERT_TRUE(platform::ProcessUserRegistry().GetUserSid(l_sid));
  EXPECT_EQ(L"S-1-5-", l_sid.substr(0, 6));
  platform::Guid l_a;
  platform::Guid l_b;
  ASSERT_TRUE(platform::ProcessUserRegistry().CreateGuid(l_a));
  ASSERT_TRUE(platform::ProcessUserRegistry().CreateGuid(l_b));
  EXPECT_FALSE(l_a.data1 == l_b.data1 && l_a.data4 == l_b.data4);
}

TEST(UserRegistry, MissingKeyAndTooSmallRead) {
  const std::wstring l_key = L"Software\\TAV_WinTest_Registry";
  RegDeleteTreeW(HKEY_CURRENT_USER, l_key.c_str());
  platform::RegistryValue l_value;
  EXPECT_EQ(platform::kRegistryNotFound, platform::ProcessUserRegistry().ReadValue(l_key, L"UUID", 64, l_value));
  ASSERT_EQ(0U, platform::ProcessUserRegistry().WriteText(l_key, L"UUID", L"abc"));
  EXPECT_EQ(platform::kRegistryMoreData, platform::ProcessUserRegistry().ReadValue(l_key, L"UUID", 5, l_value));
  ASSERT_EQ(0U, platform::ProcessUserRegistry().ReadValue(l_key, L"UUID", 8, l_value));
  EXPECT_EQ(platform::kRegistryText, l_value.type);
  ASSERT_LE(6U, l_value.data.size());
  EXPECT_EQ((std::vector<std::uint8_t>{'a', 0, 'b', 0, 'c', 0}),
            std::vector<std::uint8_t>(l_value.data.begin(), l_value.data.begin() + 6));
  RegDeleteTreeW(HKEY_CURRENT_USER, l_key.c_str());
}

}  // namespace
}  // namespace tavc
