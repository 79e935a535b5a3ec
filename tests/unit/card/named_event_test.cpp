// Named events as the cancellation of the signing loops uses them.
#include <gtest/gtest.h>

#include "platform/named_event.h"

namespace tavc::platform {
namespace {

TEST(NamedEvent, OpeningAnEventNobodyCreatedGivesNoEvent) {
  const NamedEvent l_event = NamedEvent::Open(L"TavoriTestNobodyCreated");
  EXPECT_FALSE(l_event.IsValid());
  EXPECT_FALSE(l_event.IsSignalled());
}

TEST(NamedEvent, HandlesOfOneNameShareTheSignal) {
  NamedEvent l_created = NamedEvent::Create(L"TavoriTestShared");
  NamedEvent l_opened = NamedEvent::Open(L"TavoriTestShared");
  ASSERT_TRUE(l_opened.IsValid());
  EXPECT_FALSE(l_opened.IsSignalled());
  EXPECT_TRUE(l_created.Set());
  EXPECT_TRUE(l_opened.IsSignalled());
  // Manual reset: a poll does not consume the signal.
  EXPECT_TRUE(l_opened.IsSignalled());
  EXPECT_FALSE(NamedEvent::Open(L"TavoriTestOther").IsValid());
}

TEST(NamedEvent, EventGoesWithItsLastHandle) {
  {
    NamedEvent l_created = NamedEvent::Create(L"TavoriTestLifetime");
    l_created.Set();
  }
  EXPECT_FALSE(NamedEvent::Open(L"TavoriTestLifetime").IsValid());
  NamedEvent l_again = NamedEvent::Create(L"TavoriTestLifetime");
  EXPECT_FALSE(l_again.IsSignalled());
}

}  // namespace
}  // namespace tavc::platform
