#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/cardsim/gpki_card.h"
#include "tools/cardsim/tests/shared_cards.h"
#include "tools/cardsim/tests/test_support.h"

namespace tavc::cardsim::test {
namespace {

const char kSelectGpki[] = "00 A4 04 0C 0A D3 92 F0 00 4A 00 00 00 00 01";
const char kSignCommand[] =
    "80 2A 00 00 33 30 31 30 0D 06 09 60 86 48 01 65 03 04 02 01 05 00 04 20"
    "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00";
const char kVerify[] = "00 20 00 9B 08 47 50 4B 49 31 32 33 34";  // GPKI1234

class GpkiCardTest : public ::testing::Test {
 protected:
  void SetUp() override { m_card_ = MakeGpkiCard(GpkiCardProfile{}, SharedGpkiCredentials()); }
  std::vector<std::uint8_t> Send(const std::string& in_l_hex) {
    return m_card_->Transmit(Hex(in_l_hex));
  }
  std::unique_ptr<IsoCard> m_card_;
};

TEST_F(GpkiCardTest, TokenAndTheJpkiApplicationIsAbsent) {
  EXPECT_EQ(Sw(Send("00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01")), 0x6A82u);
  EXPECT_EQ(Sw(Send(kSelectGpki)), 0x9000u);
  const std::vector<std::uint8_t> l_token = Send("00 B0 86 00 20");
  EXPECT_EQ(std::string(l_token.begin(), l_token.begin() + 32),
            "GPKIAPICCTOKEN2-1               ");
}

TEST_F(GpkiCardTest, BothCertificateFilesAreFree) {
  Send(kSelectGpki);
  const std::vector<std::uint8_t>& l_first = SharedGpkiCredentials().m_user_.m_certificate_;
  const std::vector<std::uint8_t>& l_second = SharedGpkiCredentials().m_second_certificate_;
  EXPECT_EQ(Data(Send("00 B0 81 00 04")),
            std::vector<std::uint8_t>(l_first.begin(), l_first.begin() + 4));
  EXPECT_EQ(Data(Send("00 B0 82 00 04")),
            std::vector<std::uint8_t>(l_second.begin(), l_second.begin() + 4));
  EXPECT_EQ(Data(Send("00 B0 00 04 08")),
            std::vector<std::uint8_t>(l_second.begin() + 4, l_second.begin() + 12));
}

TEST_F(GpkiCardTest, SigningAfterSelectingEf0011) {
  Send(kSelectGpki);
  Send("00 B0 86 00 20");
  // The current EF is the token file: no key to sign with.
  EXPECT_EQ(Sw(Send(kSignCommand)), 0x6986u);
  EXPECT_EQ(Sw(Send("00 A4 02 0C 02 00 11")), 0x9000u);
  EXPECT_EQ(Sw(Send(kSignCommand)), 0x6982u);
  EXPECT_EQ(Sw(Send(kVerify)), 0x9000u);
  const std::vector<std::uint8_t> l_signature = Send(kSignCommand);
  EXPECT_EQ(l_signature.size(), 258u);
  EXPECT_EQ(Sw(l_signature), 0x9000u);
}

TEST_F(GpkiCardTest, PasswordRetriesChangeAndLock) {
  Send(kSelectGpki);
  EXPECT_EQ(Sw(Send("00 20 00 9B")), 0x63C5u);
  EXPECT_EQ(Sw(Send("00 20 00 9B 06 57 52 4F 4E 47 21")), 0x63C4u);
  EXPECT_EQ(Sw(Send(kVerify)), 0x9000u);
  EXPECT_EQ(Sw(Send("00 24 01 9B 03 41 42 43")), 0x6A80u);  // too short
  EXPECT_EQ(Sw(Send("00 24 01 9B 07 6E 65 77 2D 70 77 64")), 0x9000u);
  m_card_->Reset();
  Send(kSelectGpki);
  EXPECT_EQ(Sw(Send(kVerify)), 0x63C4u);
  for (int l_i = 0; l_i < 3; ++l_i) Send(kVerify);
  EXPECT_EQ(Sw(Send(kVerify)), 0x63C0u);
  EXPECT_EQ(Sw(Send("00 20 00 9B 07 6E 65 77 2D 70 77 64")), 0x6984u);
}

}  // namespace
}  // namespace tavc::cardsim::test
