#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "tools/cardsim/apdu_pattern.h"
#include "tools/cardsim/my_number_card.h"
#include "tools/cardsim/tests/shared_cards.h"
#include "tools/cardsim/tests/test_support.h"
#include "tools/cardsim/virtual_readers.h"

namespace tavc::cardsim::test {
namespace {

const char kSelectJpki[] = "00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01";

std::shared_ptr<VirtualCard> NewCard() {
  return MakeMyNumberCard(MyNumberCardProfile{}, SharedMyNumberCredentials());
}

class VirtualReadersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_readers_.AddReader("Reader A");
    m_readers_.AddReader("Reader B");
  }
  std::uint64_t Insert(const std::string& in_l_name, FaultPlan in_l_plan = {}) {
    EXPECT_EQ(m_readers_.InsertCard(in_l_name, NewCard(), std::move(in_l_plan)), 0);
    CardPresence l_presence;
    EXPECT_EQ(m_readers_.Presence(in_l_name, l_presence), ReaderStatus::kOk);
    return l_presence.m_insertion_id_;
  }
  ReaderStatus Send(const std::string& in_l_name, std::uint64_t in_l_id, const std::string& in_l_hex,
                    std::vector<std::uint8_t>& out_l_response) {
    return m_readers_.Transmit(in_l_name, in_l_id, Hex(in_l_hex), out_l_response);
  }
  VirtualReaders m_readers_;
};

TEST_F(VirtualReadersTest, ReadersAndPresence) {
  EXPECT_EQ(m_readers_.ReaderNames(), (std::vector<std::string>{"Reader A", "Reader B"}));
  EXPECT_EQ(m_readers_.AddReader("Reader A"), 1);
  CardPresence l_presence;
  EXPECT_EQ(m_readers_.Presence("Reader A", l_presence), ReaderStatus::kNoCard);
  EXPECT_EQ(m_readers_.Presence("Reader C", l_presence), ReaderStatus::kNoReader);
  const std::uint64_t l_id = Insert("Reader B");
  EXPECT_EQ(m_readers_.Presence("Reader B", l_presence), ReaderStatus::kOk);
  EXPECT_EQ(ToHex(l_presence.m_atr_), "3BE000FF8131FE4514");
  EXPECT_EQ(m_readers_.InsertCard("Reader B", NewCard()), 1);  // occupied
  std::vector<std::uint8_t> l_response;
  EXPECT_EQ(Send("Reader B", l_id, kSelectJpki, l_response), ReaderStatus::kOk);
  EXPECT_EQ(Sw(l_response), 0x9000u);
  EXPECT_EQ(m_readers_.RemoveReader("Reader B"), 0);
  EXPECT_EQ(Send("Reader B", l_id, kSelectJpki, l_response), ReaderStatus::kNoReader);
}

TEST_F(VirtualReadersTest, EjectedOrSwappedCardAnswersRemoved) {
  const std::uint64_t l_first = Insert("Reader A");
  std::vector<std::uint8_t> l_response;
  ASSERT_EQ(m_readers_.EjectCard("Reader A"), 0);
  EXPECT_EQ(Send("Reader A", l_first, kSelectJpki, l_response), ReaderStatus::kRemoved);
  EXPECT_TRUE(l_response.empty());
  const std::uint64_t l_second = Insert("Reader A");
  EXPECT_NE(l_first, l_second);
  // A connection made before the swap still sees the card as removed.
  EXPECT_EQ(Send("Reader A", l_first, kSelectJpki, l_response), ReaderStatus::kRemoved);
  EXPECT_EQ(m_readers_.ResetCard("Reader A", l_first), ReaderStatus::kRemoved);
  EXPECT_EQ(Send("Reader A", l_second, kSelectJpki, l_response), ReaderStatus::kOk);
}

TEST_F(VirtualReadersTest, ReinsertedCardKeepsCountersButForgetsVerification) {
  std::uint64_t l_id = Insert("Reader A");
  std::vector<std::uint8_t> l_response;
  Send("Reader A", l_id, kSelectJpki, l_response);
  Send("Reader A", l_id, "00 20 00 98 04 30 30 30 30", l_response);
  Send("Reader A", l_id, "00 20 00 9B 06 41 42 43 31 32 33", l_response);
  m_readers_.EjectCard("Reader A");
  ASSERT_EQ(m_readers_.ReinsertCard("Reader A"), 0);
  CardPresence l_presence;
  m_readers_.Presence("Reader A", l_presence);
  l_id = l_presence.m_insertion_id_;
  Send("Reader A", l_id, kSelectJpki, l_response);
  Send("Reader A", l_id, "00 20 00 98", l_response);
  EXPECT_EQ(Sw(l_response), 0x63C2u);
  Send("Reader A", l_id, "00 20 00 9B", l_response);
  EXPECT_EQ(Sw(l_response), 0x63C5u);
  EXPECT_EQ(m_readers_.ReinsertCard("Reader A"), 1);  // occupied
  EXPECT_EQ(m_readers_.ReinsertCard("Reader B"), 1);  // never held a card
}

TEST_F(VirtualReadersTest, RemovedAtTheNthCommand) {
  FaultPlan l_plan;
  l_plan.m_remove_at_command_ = 3;
  const std::uint64_t l_id = Insert("Reader A", l_plan);
  std::vector<std::uint8_t> l_response;
  EXPECT_EQ(Send("Reader A", l_id, kSelectJpki, l_response), ReaderStatus::kOk);
  EXPECT_FALSE(m_readers_.RemovesAtNextCommand("Reader A"));
  EXPECT_EQ(Send("Reader A", l_id, "00 B0 86 00 20", l_response), ReaderStatus::kOk);
  EXPECT_TRUE(m_readers_.RemovesAtNextCommand("Reader A"));
  EXPECT_EQ(Send("Reader A", l_id, "00 B0 8A 00 04", l_response), ReaderStatus::kRemoved);
  CardPresence l_presence;
  EXPECT_EQ(m_readers_.Presence("Reader A", l_presence), ReaderStatus::kNoCard);
  EXPECT_EQ(m_readers_.CommandLog("Reader A").size(), 2u);
}

TEST_F(VirtualReadersTest, RemovedWhenAMatchingCommandArrives) {
  FaultPlan l_plan;
  l_plan.m_remove_on_ = ApduPattern::Instruction(0x2A);
  const std::uint64_t l_id = Insert("Reader A", l_plan);
  std::vector<std::uint8_t> l_response;
  EXPECT_EQ(Send("Reader A", l_id, kSelectJpki, l_response), ReaderStatus::kOk);
  EXPECT_EQ(Send("Reader A", l_id, "80 2A 00 97 04 01 02 03 04 00", l_response),
            ReaderStatus::kRemoved);
}

TEST_F(VirtualReadersTest, ForcedStatusForChosenCommands) {
  FaultPlan l_plan;
  StatusOverride l_every;
  ASSERT_EQ(ApduPattern::Parse("00 B0 ?? ?? 04", l_every.m_pattern_), 0);
  l_every.m_status_ = StatusWord{0x6A, 0x82};
  StatusOverride l_second;
  l_second.m_pattern_ = ApduPattern::Prefix(Hex("00 B0 00"));
  l_second.m_status_ = StatusWord{0x62, 0x81};
  l_second.m_occurrence_ = 2;
  l_plan.m_status_overrides_ = {l_every, l_second};
  const std::uint64_t l_id = Insert("Reader A", l_plan);
  std::vector<std::uint8_t> l_response;
  Send("Reader A", l_id, kSelectJpki, l_response);
  Send("Reader A", l_id, "00 B0 8A 00 04", l_response);
  EXPECT_EQ(ToHex(l_response), "6A82");
  Send("Reader A", l_id, "00 B0 8A 00 08", l_response);  // not a 4-byte read: runs
  EXPECT_EQ(l_response.size(), 10u);
  Send("Reader A", l_id, "00 B0 00 00 10", l_response);
  EXPECT_EQ(l_response.size(), 18u);
  Send("Reader A", l_id, "00 B0 00 10 10", l_response);
  EXPECT_EQ(ToHex(l_response), "6281");
  Send("Reader A", l_id, "00 B0 00 20 10", l_response);
  EXPECT_EQ(l_response.size(), 18u);
}

TEST_F(VirtualReadersTest, DelayPerCommandAndRemovalDuringIt) {
  FaultPlan l_plan;
  l_plan.m_delay_per_command_ = std::chrono::milliseconds(150);
  const std::uint64_t l_id = Insert("Reader A", l_plan);
  std::vector<std::uint8_t> l_response;
  const auto l_start = std::chrono::steady_clock::now();
  EXPECT_EQ(Send("Reader A", l_id, kSelectJpki, l_response), ReaderStatus::kOk);
  EXPECT_GE(std::chrono::steady_clock::now() - l_start, std::chrono::milliseconds(150));
  // A card pulled while it works answers nothing.
  std::thread l_puller([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m_readers_.EjectCard("Reader A");
  });
  EXPECT_EQ(Send("Reader A", l_id, "00 B0 86 00 20", l_response), ReaderStatus::kRemoved);
  l_puller.join();
}

TEST_F(VirtualReadersTest, WaitForChangeWakesOnInsertion) {
  const std::uint64_t l_seen = m_readers_.ChangeCounter();
  std::thread l_inserter([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    m_readers_.InsertCard("Reader B", NewCard());
  });
  EXPECT_NE(m_readers_.WaitForChange(l_seen, std::chrono::seconds(5)), l_seen);
  l_inserter.join();
  const std::uint64_t l_now = m_readers_.ChangeCounter();
  EXPECT_EQ(m_readers_.WaitForChange(l_now, std::chrono::milliseconds(10)), l_now);
}

TEST(ApduPatternTest, ParseAndMatch) {
  ApduPattern l_pattern;
  EXPECT_EQ(ApduPattern::Parse("80 2a ?? 9A", l_pattern), 0);
  EXPECT_TRUE(l_pattern.Matches(Hex("80 2A 00 9A 33")));
  EXPECT_FALSE(l_pattern.Matches(Hex("80 2A 00 97 33")));
  EXPECT_FALSE(l_pattern.Matches(Hex("80 2A 00")));  // shorter than the pattern
  EXPECT_EQ(ApduPattern::Parse("80 2", l_pattern), 1);
  EXPECT_EQ(ApduPattern::Parse("8G", l_pattern), 1);
  EXPECT_EQ(ApduPattern::Parse("?0", l_pattern), 1);
  EXPECT_EQ(ApduPattern::Parse("", l_pattern), 1);
  EXPECT_FALSE(ApduPattern().Matches(Hex("00")));
}

}  // namespace
}  // namespace tavc::cardsim::test
