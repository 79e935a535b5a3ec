#include <gtest/gtest.h>

#include "host/state/data_store.h"
#include "host/state/request_modes.h"

namespace tavc {
namespace {

// The store parses the page's text once and keeps it, unchanged, for the echo.
TEST(RequestModes, TheStoreParsesTheTextOnceAndKeepsIt) {
  const struct {
    const wchar_t* text;
    RequestMode mode;
    bool known;
  } l_cases[] = {
      {L"01", RequestMode::kLogin, true},
      {L"02", RequestMode::kSign, true},
      {L"03", RequestMode::kMyNumberInfo, true},
      {L"04", RequestMode::kPersonalInfo, true},
      {L"05", RequestMode::kCancel, false},
      {L"06", RequestMode::kPasswordChange, true},
      {L"07", RequestMode::kSignWithConfirm, true},
      {L"11", RequestMode::kGpkiSign, true},
      {L"12", RequestMode::kGpkiSignWithConfirm, true},
      {L"13", RequestMode::kGpkiPasswordChange, true},
      // Near misses are no mode at all: no trimming, no number reading.
      {L"", RequestMode::kUnknown, false},
      {L"1", RequestMode::kUnknown, false},
      {L"001", RequestMode::kUnknown, false},
      {L"01 ", RequestMode::kUnknown, false},
      {L"\uff10\uff11", RequestMode::kUnknown, false},
      {L"08", RequestMode::kUnknown, false},
      {L"14", RequestMode::kUnknown, false},
  };
  for (const auto& l_case : l_cases) {
    DataStore l_store;
    l_store.SetMode(l_case.text);
    EXPECT_EQ(l_case.mode, l_store.GetMode()) << l_case.text;
    EXPECT_EQ(l_case.text, l_store.GetModeText());
    EXPECT_EQ(l_case.known, IsKnownMode(l_store.GetMode())) << l_case.text;
  }
}

}  // namespace
}  // namespace tavc
