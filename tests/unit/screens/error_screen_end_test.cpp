#include "host/screens/error_screen_end.h"

#include <gtest/gtest.h>

namespace tavc {
namespace {

TEST(ErrorScreenEnd, TwoOnlyForAnInterruptCodeAfterTheInterrupt) {
  struct Case {
    int interrupt_state;
    const wchar_t* code;
    std::uintptr_t end;
  };
  const Case l_cases[] = {
      {0, L"EW042-2402", 0},
      {1, L"EW042-2402", 2},
      {1, L"EW044-2400", 2},
      // Interrupted, but the screen shows another error (its 7th and 8th characters are not "24").
      {1, L"EW042-1208", 0},
      // Too short to carry a group.
      {1, L"EW042-2", 0},
      {1, L"", 0},
  };
  for (const Case& l_case : l_cases) {
    DataStore l_store;
    ErrorInfo l_error;
    l_store.SetInterruptState(l_case.interrupt_state);
    l_error.SetError(l_case.code, L"", L"", L"");
    EXPECT_EQ(ErrorScreenEndParam(l_store, l_error), l_case.end) << l_case.code << " " << l_case.interrupt_state;
  }
}

}  // namespace
}  // namespace tavc
