// The single-instance lock as a second start would meet it.
#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/process_id.h"

namespace tavc {
namespace {

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilTheFirstHasGone) {
  // The product's name has a prefix with a colon and a space; so does this one.
  const std::wstring l_name =
      L"MUTEX: tav.unit-test.SingleInstance." + std::to_wstring(platform::CurrentProcessId());
  {
    platform::SingleInstanceLock l_first;
    ASSERT_EQ(0, l_first.Take(l_name));
    {
      platform::SingleInstanceLock l_second;
      EXPECT_EQ(1, l_second.Take(l_name));
    }
    platform::SingleInstanceLock l_other_name;
    EXPECT_EQ(0, l_other_name.Take(l_name + L".other"));
  }
  // One refused while the first runs, and still alive after it (its error box
  // open), does not keep the name from the next.
  platform::SingleInstanceLock l_refused;
  {
    platform::SingleInstanceLock l_first;
    ASSERT_EQ(0, l_first.Take(l_name));
    EXPECT_EQ(1, l_refused.Take(l_name));
  }
  platform::SingleInstanceLock l_after;
  EXPECT_EQ(0, l_after.Take(l_name)) << "the first has gone; a refused one kept the name";
  l_after.Release();
  platform::SingleInstanceLock l_next;
  EXPECT_EQ(0, l_next.Take(l_name)) << "released while its holder still lives";
}

}  // namespace
}  // namespace tavc
