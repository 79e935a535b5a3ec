#include "host/screens/error_screen_end.h"

#include <gtest/gtest.h>

namespace tavc {
namespace {

TEST(ErrorScreenEnd, TwoOnlyForAnInterruptCodeAfterTheInterrupt) {
  ErrorInfo l_error;
  DataStore l_store;
  l_error.SetError(L"EW042-2402", L"", L"", L"");
  EXPECT_EQ(0U, ErrorScreenEndParam(l_store, l_error));
  l_store.SetInterruptState(1);
  EXPECT_EQ(2U, ErrorScreenEndParam(l_store, l_error));
  // Interrupted, but the screen shows another error (its 7th and 8th characters are not "24").
  l_error.SetError(L"EW042-1208", L"", L"", L"");
  EXPECT_EQ(0U, ErrorScreenEndParam(l_store, l_error));
  // Too short to carry a group.
  l_error.SetError(L"EW042-2", L"", L"", L"");
  EXPECT_EQ(0U, ErrorScreenEndParam(l_store, l_error));
}

}  // namespace
}  // namespace tavc
