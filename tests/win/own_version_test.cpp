#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/own_version.h"

namespace {

std::wstring Widen(const char* in_l_text) { return std::wstring(in_l_text, in_l_text + std::strlen(in_l_text)); }

TEST(OwnVersion, ReadsProductVersionOfTheRunningProgram) {
  std::wstring l_version = L"stale";
  ASSERT_TRUE(tavc::platform::ReadOwnProductVersion(l_version));
  EXPECT_EQ(l_version, Widen(TAV_EXPECTED_PRODUCT_VERSION));
}

// The numeric version fields come from the same CMake value as the text.
TEST(OwnVersion, FixedVersionNumbersMatchTheText) {
  wchar_t l_path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, l_path, MAX_PATH), 0u);
  DWORD l_ignored = 0;
  const DWORD l_size = GetFileVersionInfoSizeW(l_path, &l_ignored);
  ASSERT_GT(l_size, 0u);
  std::vector<unsigned char> l_info(l_size);
  ASSERT_TRUE(GetFileVersionInfoW(l_path, 0, l_size, l_info.data()));
  void* l_value = nullptr;
  UINT l_length = 0;
  ASSERT_TRUE(VerQueryValueW(l_info.data(), L"\\", &l_value, &l_length));
  ASSERT_GE(l_length, sizeof(VS_FIXEDFILEINFO));
  const auto* l_fixed = static_cast<const VS_FIXEDFILEINFO*>(l_value);
  const std::wstring l_from_numbers = std::to_wstring(HIWORD(l_fixed->dwProductVersionMS)) + L"." +
                                      std::to_wstring(LOWORD(l_fixed->dwProductVersionMS)) + L"." +
                                      std::to_wstring(HIWORD(l_fixed->dwProductVersionLS)) + L"." +
                                      std::to_wstring(LOWORD(l_fixed->dwProductVersionLS));
  EXPECT_EQ(l_from_numbers, Widen(TAV_EXPECTED_PRODUCT_VERSION));
  EXPECT_EQ(l_fixed->dwFileVersionMS, l_fixed->dwProductVersionMS);
  EXPECT_EQ(l_fixed->dwFileVersionLS, l_fixed->dwProductVersionLS);
}

}  // namespace
