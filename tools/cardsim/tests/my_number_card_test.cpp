#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/cardsim/my_number_card.h"
#include "tools/cardsim/tests/shared_cards.h"
#include "tools/cardsim/tests/test_support.h"

namespace tavc::cardsim::test {
namespace {

const char kSelectJpki[] = "00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01";
const char kSelectSurface[] = "00 A4 04 0C 0A D3 92 10 00 31 00 01 01 04 08";
const char kSelectInformation[] = "00 A4 04 0C 0A D3 92 10 00 31 00 01 01 01 00";
const char kDigestInfo[] =
    "30 31 30 0D 06 09 60 86 48 01 65 03 04 02 01 05 00 04 20"
    "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF";

class MyNumberCardTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeCard(MyNumberCardProfile{}); }
  void MakeCard(const MyNumberCardProfile& in_l_profile) {
    m_card_ = MakeMyNumberCard(in_l_profile, SharedMyNumberCredentials());
  }
  std::vector<std::uint8_t> Send(const std::string& in_l_hex) {
    return m_card_->Transmit(Hex(in_l_hex));
  }
  // Reads a whole certificate the way hosts do: 4-byte probe, then 250-byte chunks.
  std::vector<std::uint8_t> ReadCertificate(const std::string& in_l_probe) {
    const std::vector<std::uint8_t> l_head = Send(in_l_probe);
    EXPECT_EQ(Sw(l_head), 0x9000u);
    if (Sw(l_head) != 0x9000u) return {};
    const std::size_t l_total = ((static_cast<std::size_t>(l_head[2]) << 8) | l_head[3]) + 4;
    std::vector<std::uint8_t> l_certificate;
    while (l_certificate.size() < l_total) {
      const std::size_t l_chunk = std::min<std::size_t>(250, l_total - l_certificate.size());
      const std::size_t l_offset = l_certificate.size();
      std::vector<std::uint8_t> l_command{0x00, 0xB0, static_cast<std::uint8_t>(l_offset >> 8),
                                          static_cast<std::uint8_t>(l_offset & 0xFF),
                                          static_cast<std::uint8_t>(l_chunk)};
      const std::vector<std::uint8_t> l_answer = m_card_->Transmit(l_command);
      EXPECT_EQ(Sw(l_answer), 0x9000u);
      EXPECT_EQ(l_answer.size(), l_chunk + 2);
      if (l_answer.size() != l_chunk + 2) return {};
      const std::vector<std::uint8_t> l_data = Data(l_answer);
      l_certificate.insert(l_certificate.end(), l_data.begin(), l_data.end());
    }
    return l_certificate;
  }
  std::unique_ptr<IsoCard> m_card_;
};

TEST_F(MyNumberCardTest, JpkiTokenAndApplicationSelection) {
  EXPECT_EQ(Sw(Send("00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 02")), 0x6A82u);
  EXPECT_EQ(Sw(Send(kSelectJpki)), 0x9000u);
  const std::vector<std::uint8_t> l_token = Send("00 B0 86 00 20");
  ASSERT_EQ(l_token.size(), 34u);
  EXPECT_EQ(std::string(l_token.begin(), l_token.begin() + 32),
            "JPKIAPICCTOKEN2                 ");
  EXPECT_EQ(Sw(l_token), 0x9000u);
}

TEST_F(MyNumberCardTest, CertificatesReadInChunksMatchTheCredentials) {
  Send(kSelectJpki);
  EXPECT_EQ(ReadCertificate("00 B0 8A 00 04"), SharedMyNumberCredentials().m_auth_.m_certificate_);
  EXPECT_EQ(ReadCertificate("00 B0 8B 00 04"), SharedMyNumberCredentials().m_auth_ca_certificate_);
  EXPECT_EQ(ReadCertificate("00 B0 82 00 04"), SharedMyNumberCredentials().m_sign_ca_certificate_);
  // The signature certificate opens only with the signature password.
  EXPECT_EQ(Sw(Send("00 B0 81 00 04")), 0x6982u);
  EXPECT_EQ(Sw(Send("00 20 00 9B 06 41 42 43 31 32 33")), 0x9000u);
  EXPECT_EQ(ReadCertificate("00 B0 81 00 04"), SharedMyNumberCredentials().m_sign_.m_certificate_);
}

TEST_F(MyNumberCardTest, ReadBinaryBoundaries) {
  Send(kSelectJpki);
  // Le beyond the end: the rest of the file and 90 00.
  const std::size_t l_size = SharedMyNumberCredentials().m_auth_ca_certificate_.size();
  Send("00 B0 8B 00 04");
  const std::size_t l_last = l_size - 10;
  const std::vector<std::uint8_t> l_tail = m_card_->Transmit(
      {0x00, 0xB0, static_cast<std::uint8_t>(l_last >> 8), static_cast<std::uint8_t>(l_last), 0xFA});
  EXPECT_EQ(l_tail.size(), 12u);
  EXPECT_EQ(Sw(l_tail), 0x9000u);
  const std::vector<std::uint8_t> l_past = m_card_->Transmit(
      {0x00, 0xB0, static_cast<std::uint8_t>(l_size >> 8), static_cast<std::uint8_t>(l_size), 0x10});
  EXPECT_EQ(Sw(l_past), 0x6B00u);
  EXPECT_EQ(Sw(Send("00 B0 8C 00 04")), 0x6A82u);  // no EF with SFI 0C
  EXPECT_EQ(Sw(Send("00 B0 A6 00 04")), 0x6A86u);  // P1 bits 6-7 set
  EXPECT_EQ(Sw(Send("00 B0 86 00")), 0x6700u);     // no Le
  EXPECT_EQ(Sw(Send("00 B0 86 00 05 01")), 0x6700u);  // malformed length
  EXPECT_EQ(Sw(Send("00 B0 98 00 04")), 0x6981u);  // the PIN EF is not readable
}

TEST_F(MyNumberCardTest, OffsetReadWithoutCurrentFileIsRefused) {
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 B0 00 00 04")), 0x6986u);
}

TEST_F(MyNumberCardTest, SelectByFileIdentifierThenCurrentFileAddressing) {
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 A4 02 0C 02 00 0A")), 0x9000u);
  const std::vector<std::uint8_t> l_head = Send("00 B0 00 00 04");
  EXPECT_EQ(Data(l_head), std::vector<std::uint8_t>(
                              SharedMyNumberCredentials().m_auth_.m_certificate_.begin(),
                              SharedMyNumberCredentials().m_auth_.m_certificate_.begin() + 4));
  EXPECT_EQ(Sw(Send("00 A4 02 0C 02 00 18")), 0x9000u);
  EXPECT_EQ(Sw(Send("00 20 00 80")), 0x63C3u);
  EXPECT_EQ(Sw(Send("00 20 00 80 04 31 32 33 34")), 0x9000u);
  EXPECT_EQ(Sw(Send("00 A4 02 0C 02 00 17")), 0x9000u);
  const std::vector<std::uint8_t> l_signature = Send(std::string("80 2A 00 80 33 ") + kDigestInfo + " 00");
  EXPECT_EQ(l_signature.size(), 258u);
  EXPECT_EQ(Sw(l_signature), 0x9000u);
  EXPECT_EQ(Sw(Send("00 A4 02 0C 02 00 99")), 0x6A82u);
  EXPECT_EQ(Sw(Send("00 A4 02 0C 03 00 18 00")), 0x6700u);
  EXPECT_EQ(Sw(Send("00 A4 01 0C 02 00 18")), 0x6A86u);
}

TEST_F(MyNumberCardTest, SigningNeedsTheKeysOwnPin) {
  Send(kSelectJpki);
  const std::string l_auth_sign = std::string("80 2A 00 97 33 ") + kDigestInfo + " 00";
  const std::string l_sign_sign = std::string("80 2A 00 9A 33 ") + kDigestInfo + " 00";
  EXPECT_EQ(Sw(Send(l_auth_sign)), 0x6982u);
  Send("00 20 00 9B 06 41 42 43 31 32 33");  // the signature password opens only key 1A
  EXPECT_EQ(Sw(Send(l_auth_sign)), 0x6982u);
  EXPECT_EQ(Send(l_sign_sign).size(), 258u);
  Send("00 20 00 98 04 31 32 33 34");
  EXPECT_EQ(Send(l_auth_sign).size(), 258u);
  // Same digest, different keys: different signatures.
  EXPECT_NE(Send(l_auth_sign), Send(l_sign_sign));
  EXPECT_EQ(Sw(Send(std::string("00 2A 00 97 33 ") + kDigestInfo + " 00")), 0x6E00u);
  EXPECT_EQ(Sw(Send(std::string("80 2A 01 97 33 ") + kDigestInfo + " 00")), 0x6A86u);
  EXPECT_EQ(Sw(Send("80 2A 00 97 00")), 0x6700u);
}

TEST_F(MyNumberCardTest, WrongPinCountsDownLocksAndSurvivesReset) {
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x63C3u);
  EXPECT_EQ(Sw(Send("00 20 00 98 04 30 30 30 30")), 0x63C2u);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x63C2u);  // probing spends nothing
  m_card_->Reset();
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x63C2u);  // the counter is kept on the card
  EXPECT_EQ(Sw(Send("00 20 00 98 04 30 30 30 30")), 0x63C1u);
  EXPECT_EQ(Sw(Send("00 20 00 98 04 30 30 30 30")), 0x63C0u);
  EXPECT_EQ(Sw(Send("00 20 00 98 04 31 32 33 34")), 0x6984u);  // even the right PIN
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x6984u);
  // The other PIN of the application is untouched.
  EXPECT_EQ(Sw(Send("00 20 00 9B")), 0x63C5u);
}

TEST_F(MyNumberCardTest, RightPinRestoresTheCounterAndResetForgetsVerification) {
  Send(kSelectJpki);
  Send("00 20 00 98 04 30 30 30 30");
  EXPECT_EQ(Sw(Send("00 20 00 98 04 31 32 33 34")), 0x9000u);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x9000u);
  // Verification lasts across application switches until the card is reset.
  Send(kSelectInformation);
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x9000u);
  m_card_->Reset();
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x63C3u);
}

TEST_F(MyNumberCardTest, LockedFromTheProfile) {
  MyNumberCardProfile l_profile;
  l_profile.m_sign_password_.m_tries_left_ = 0;
  MakeCard(l_profile);
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 9B 06 41 42 43 31 32 33")), 0x6984u);
}

TEST_F(MyNumberCardTest, ChangeReferenceDataAfterVerify) {
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 24 01 98 04 39 38 37 36")), 0x6982u);
  Send("00 20 00 98 04 31 32 33 34");
  EXPECT_EQ(Sw(Send("00 24 01 98 04 39 38 37 41")), 0x6A80u);  // not four digits
  EXPECT_EQ(Sw(Send("00 24 00 98 04 39 38 37 36")), 0x6A86u);
  EXPECT_EQ(Sw(Send("00 24 01 98 04 39 38 37 36")), 0x9000u);
  m_card_->Reset();
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 98 04 31 32 33 34")), 0x63C2u);
  EXPECT_EQ(Sw(Send("00 20 00 98 04 39 38 37 36")), 0x9000u);
  // Signature password: 6 to 16 upper-case letters and digits.
  Send("00 20 00 9B 06 41 42 43 31 32 33");
  EXPECT_EQ(Sw(Send("00 24 01 9B 06 61 62 63 31 32 33")), 0x6A80u);
  EXPECT_EQ(Sw(Send("00 24 01 9B 05 41 42 43 31 32")), 0x6A80u);
  EXPECT_EQ(Sw(Send("00 24 01 9B 08 4E 45 57 50 41 53 53 31")), 0x9000u);
  m_card_->Reset();
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 20 00 9B 08 4E 45 57 50 41 53 53 31")), 0x9000u);
}

TEST_F(MyNumberCardTest, CardSurfaceFilesNeedTheirPin) {
  EXPECT_EQ(Sw(Send(kSelectSurface)), 0x9000u);
  EXPECT_EQ(Sw(Send("00 B0 81 00 0F")), 0x6982u);
  EXPECT_EQ(Sw(Send("00 B0 82 00 FA")), 0x6982u);
  EXPECT_EQ(Sw(Send("00 20 00 91 04 31 32 33 34")), 0x9000u);
  const std::vector<std::uint8_t> l_number = Send("00 B0 81 00 0F");
  EXPECT_EQ(ToHex(l_number), "FF100C" + ToHex(Hex("31 32 33 34 35 36 37 38 39 30 31 38")) + "9000");
  // The rest of the file is filler.
  EXPECT_EQ(ToHex(Send("00 B0 00 0F 10")), "FFFF9000");
}

TEST_F(MyNumberCardTest, BasicFourItemsFollowTheCardLayout) {
  MyNumberCardProfile l_profile;
  l_profile.m_name_ = "\xE7\x95\xAA\xE5\x8F\xB7\xE3\x80\x80\xE8\x8A\xB1\xE5\xAD\x90";  // 番号　花子
  l_profile.m_address_ = std::string(150, 'A');  // long enough for the 82 HH LL length form
  l_profile.m_birth_date_ = "19700102";
  l_profile.m_sex_ = "1";
  MakeCard(l_profile);
  Send(kSelectSurface);
  Send("00 20 00 91 04 31 32 33 34");
  std::vector<std::uint8_t> l_file = Data(Send("00 B0 82 00 FA"));
  const std::vector<std::uint8_t> l_more = Data(Send("00 B0 00 FA FA"));
  l_file.insert(l_file.end(), l_more.begin(), l_more.end());

  ASSERT_GE(l_file.size(), 5u);
  EXPECT_EQ(l_file[0], 0xFF);
  EXPECT_EQ(l_file[1], 0x20);
  ASSERT_EQ(l_file[2], 0x82);  // value longer than 255 bytes
  const std::size_t l_total = ((std::size_t{l_file[3]} << 8) | l_file[4]) + 5;
  ASSERT_LE(l_total, l_file.size());
  EXPECT_EQ(ToHex({l_file.begin() + 5, l_file.begin() + 8}), "DF2108");
  auto l_offset = [&](std::size_t in_l_index) {
    return (std::size_t{l_file[8 + 2 * in_l_index]} << 8) | l_file[9 + 2 * in_l_index];
  };
  const std::size_t l_name_at = l_offset(0);
  ASSERT_LT(l_name_at + 3, l_total);
  EXPECT_EQ(ToHex({l_file.begin() + static_cast<long>(l_name_at),
                   l_file.begin() + static_cast<long>(l_name_at) + 3}),
            "DF220F");
  EXPECT_EQ(std::string(l_file.begin() + static_cast<long>(l_name_at) + 3,
                        l_file.begin() + static_cast<long>(l_name_at) + 18),
            l_profile.m_name_);
  const std::size_t l_address_at = l_offset(1);
  EXPECT_EQ(ToHex({l_file.begin() + static_cast<long>(l_address_at),
                   l_file.begin() + static_cast<long>(l_address_at) + 5}),
            "DF23820096");
  const std::size_t l_birth_at = l_offset(2);
  EXPECT_EQ(std::string(l_file.begin() + static_cast<long>(l_birth_at),
                        l_file.begin() + static_cast<long>(l_birth_at) + 11),
            "\xDF\x24\x08" "19700102");
  const std::size_t l_sex_at = l_offset(3);
  EXPECT_EQ(ToHex({l_file.begin() + static_cast<long>(l_sex_at),
                   l_file.begin() + static_cast<long>(l_sex_at) + 4}),
            "DF250131");
  EXPECT_EQ(l_sex_at + 4, l_total);  // the sex item ends the structure
}

TEST_F(MyNumberCardTest, CardInformationRecord) {
  MyNumberCardProfile l_profile;
  l_profile.m_card_serial_ = "AB1234567890123";
  l_profile.m_city_code_ = "27100";
  l_profile.m_expiry_date_ = "20301010";
  MakeCard(l_profile);
  EXPECT_EQ(Sw(Send(kSelectInformation)), 0x9000u);
  const std::vector<std::uint8_t> l_record = Data(Send("00 B2 01 0C 00"));
  ASSERT_EQ(l_record.size(), 30u);
  EXPECT_EQ(l_record[0], 0x01);
  EXPECT_EQ(l_record[1], 0x1C);
  EXPECT_EQ(std::string(l_record.begin() + 4, l_record.begin() + 17), "1234567890123");
  EXPECT_EQ(std::string(l_record.begin() + 17, l_record.begin() + 22), "27100");
  EXPECT_EQ(std::string(l_record.begin() + 22, l_record.end()), "20301010");
  EXPECT_EQ(Sw(Send("00 B2 02 0C 00")), 0x6A83u);
  EXPECT_EQ(Sw(Send("00 B2 01 0B 00")), 0x6A86u);
  // Record reads on a binary file are refused.
  Send(kSelectJpki);
  EXPECT_EQ(Sw(Send("00 B2 01 34 00")), 0x6981u);
}

TEST_F(MyNumberCardTest, UnknownInstructionsAndClasses) {
  EXPECT_EQ(Sw(Send("00 CA 00 00 00")), 0x6D00u);
  EXPECT_EQ(Sw(Send("80 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01")), 0x6E00u);
  EXPECT_EQ(Sw(Send("00 A4")), 0x6700u);
  // Before any application is selected no file can be found.
  EXPECT_EQ(Sw(Send("00 B0 86 00 20")), 0x6A82u);
  EXPECT_EQ(Sw(Send("00 20 00 98")), 0x6A88u);
}

TEST_F(MyNumberCardTest, DifferentTokenAndReplacedFile) {
  MyNumberCardProfile l_profile;
  l_profile.m_jpki_token_ = "JPKIAPICCTOKEN";
  MakeCard(l_profile);
  Send(kSelectJpki);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Send("00 B0 86 00 20").data()), 32),
            "JPKIAPICCTOKEN                  ");
  ASSERT_EQ(m_card_->SetFileContent(Hex("D3 92 F0 00 26 01 00 00 00 01"), 0x000A,
                                    Hex("30 82 00 00")),
            0);
  EXPECT_EQ(ToHex(Send("00 B0 8A 00 10")), "308200009000");
  EXPECT_EQ(m_card_->SetFileContent(Hex("D3 92 F0 00 26 01 00 00 00 01"), 0x0018, {}), 1);
}

}  // namespace
}  // namespace tavc::cardsim::test
