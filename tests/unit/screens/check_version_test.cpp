// The version check at start-up: when a notice is due, and its code by mode.
#include <gtest/gtest.h>

#include "host/flow/start_up_check.h"

namespace tavc {
namespace {

struct Versions {
  const wchar_t* own;
  const wchar_t* latest;
  const wchar_t* available;
};

int Check(const Versions& in_l_versions, const std::wstring& in_l_mode, ErrorInfo& out_l_record) {
  DataStore l_store;
  l_store.SetOwnVersion(in_l_versions.own);
  l_store.SetLatestVersion(in_l_versions.latest);
  l_store.SetAvailableVersion(in_l_versions.available);
  l_store.SetMode(in_l_mode);
  return StartUpCheck::CheckVersion(&l_store, &out_l_record);
}

TEST(CheckVersion, NothingToNotifyWhenNoNewerVersionExists) {
  for (const Versions& l_versions : {Versions{L"3", L"3", L"1"}, Versions{L"4", L"3", L"3"}}) {
    ErrorInfo l_record;
    EXPECT_EQ(0, Check(l_versions, L"01", l_record));
    EXPECT_EQ(L"", l_record.GetCode());
  }
}

TEST(CheckVersion, VersionsCompareAsNumbers) {
  ErrorInfo l_record;
  EXPECT_EQ(0, Check({L"10", L"9", L"2"}, L"01", l_record));
  EXPECT_EQ(1, Check({L"9", L"10", L"2"}, L"01", l_record));
}

TEST(CheckVersion, NewerVersionCodeByMode) {
  const std::pair<const wchar_t*, const wchar_t*> l_cases[] = {
      {L"01", L"EW144-0430"}, {L"02", L"EW244-0430"}, {L"07", L"EW244-0430"}, {L"03", L"EW344-0430"},
      {L"04", L"EW344-0430"}, {L"06", L"EW644-0430"}, {L"11", L"EWC44-0430"}, {L"12", L"EWC44-0430"},
      {L"13", L"EWD44-0430"}, {L"05", L""}};
  for (const auto& [l_mode, l_code] : l_cases) {
    ErrorInfo l_record;
    EXPECT_EQ(1, Check({L"3", L"4", L"2"}, l_mode, l_record)) << l_mode;
    EXPECT_EQ(std::wstring(l_code), l_record.GetCode()) << l_mode;
    EXPECT_EQ(L"", l_record.GetDetail1());
  }
}

TEST(CheckVersion, UnusableVersionCodeByMode) {
  const std::pair<const wchar_t*, const wchar_t*> l_cases[] = {
      {L"01", L"EW144-0431"}, {L"02", L"EW244-0431"}, {L"07", L"EW244-0431"}, {L"03", L"EW344-0431"},
      {L"04", L"EW344-0431"}, {L"06", L"EW644-0431"}, {L"11", L""},           {L"12", L""},
      {L"13", L""}};
  for (const auto& [l_mode, l_code] : l_cases) {
    ErrorInfo l_record;
    EXPECT_EQ(1, Check({L"1", L"4", L"2"}, l_mode, l_record)) << l_mode;
    EXPECT_EQ(std::wstring(l_code), l_record.GetCode()) << l_mode;
  }
}

TEST(CheckVersion, WithoutDataStore) {
  ErrorInfo l_record;
  EXPECT_EQ(1, StartUpCheck::CheckVersion(nullptr, &l_record));
  EXPECT_EQ(L"EW044-0499", l_record.GetCode());
  EXPECT_EQ(L"0x80050301", l_record.GetDetail1());
}

}  // namespace
}  // namespace tavc
