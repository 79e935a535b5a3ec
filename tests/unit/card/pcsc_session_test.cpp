// The shared PC/SC session: choosing the reader, exchanging one command,
// releasing what was acquired.
#include <gtest/gtest.h>

#include "host/card/card_result.h"
#include "host/card/library_for_personal_info.h"
#include "host/card/pcsc_connection.h"
#include "tests/unit/card/card_scripts.h"

namespace tavc {
namespace {

using test::Ok;
using test::PcscFailure;
using test::ScriptedSCardApi;
using test::Status;

class PcscSession : public ::testing::Test {
 protected:
  int Establish(int in_l_password_type, bool in_l_check_version) {
    return m_library_.EstablishCard(in_l_password_type, in_l_check_version, &m_card_error_);
  }

  ScriptedSCardApi m_api_;
  PcscConnection m_connection_{m_api_};
  LibraryForPersonalInfo m_library_{m_connection_};
  CardErrorInfo m_card_error_;
};

TEST_F(PcscSession, SkipsAnEmptyReaderAndTakesTheNextCard) {
  m_api_.AddReader(L"Reader A", platform::kScardENoSmartcard);
  m_api_.AddReader(L"Reader B");
  m_api_.Expect(test::kSelectJpki, Ok());
  m_api_.Expect(test::kReadToken, Ok(test::Token("JPKIAPICCTOKEN2")));
  ASSERT_EQ(kCardOk, Establish(kPasswordTypeLogin, true));
  EXPECT_EQ(std::vector<std::wstring>{L"Reader B"}, m_api_.Connected());
  EXPECT_TRUE(m_connection_.HasContext());
  EXPECT_TRUE(m_connection_.IsConnected());
  EXPECT_TRUE(m_api_.Finished());
  m_connection_.ReleaseCard();
  EXPECT_EQ(0U, m_api_.OpenHandles());
  EXPECT_EQ(0U, m_api_.BadReleases());
}

TEST_F(PcscSession, TakesTheFirstOfTwoUsableCards) {
  m_api_.AddReader(L"Reader A");
  m_api_.AddReader(L"Reader B");
  m_api_.Expect(test::kSelectCardSurface, Ok());
  ASSERT_EQ(kCardOk, Establish(kPasswordTypeInfo, false));
  EXPECT_EQ(std::vector<std::wstring>{L"Reader A"}, m_api_.Connected());
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PcscSession, CardWithoutTheApplicationIsLeftAndTheSearchEndsWithNoCard) {
  m_api_.AddReader(L"Reader A");
  m_api_.Expect(test::kSelectJpki, Status(0x6A, 0x82));
  EXPECT_EQ(kCardNotFound, Establish(kPasswordTypeSign, true));
  EXPECT_TRUE(m_api_.Finished());
  EXPECT_EQ(0U, m_api_.OpenHandles());
  EXPECT_EQ(0U, m_api_.BadReleases());
}

TEST_F(PcscSession, TokenThatDiffersMakesTheCardCountAsAbsent) {
  m_api_.AddReader(L"Reader A");
  m_api_.AddReader(L"Reader B");
  m_api_.Expect(test::kSelectJpki, Ok());
  m_api_.Expect(test::kReadToken, Ok(test::Token("JPKIAPICCTOKEN")));
  m_api_.Expect(test::kSelectJpki, Ok());
  m_api_.Expect(test::kReadToken, Ok(test::Token("GPKIAPICCTOKEN2-1")));
  EXPECT_EQ(kCardNotFound, Establish(kPasswordTypeLogin, true));
  EXPECT_TRUE(m_api_.Finished());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(PcscSession, TokenIsReadOnlyWhenAsked) {
  m_api_.AddReader(L"Reader A");
  m_api_.Expect(test::kSelectJpki, Ok());
  EXPECT_EQ(kCardOk, Establish(kPasswordTypeSign, false));
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PcscSession, NoReaderReachesTheCallerAsPcscResult) {
  EXPECT_EQ(kCardPcscFailure, Establish(kPasswordTypeLogin, true));
  EXPECT_EQ(platform::kScardENoReadersAvailable, m_card_error_.pcsc_api_error);
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(PcscSession, ContextFailureNamesTheLibraryCode) {
  m_api_.SetEstablishResult(platform::kScardFInternalError);
  EXPECT_EQ(kCardPcscFailure, Establish(kPasswordTypeLogin, true));
  EXPECT_EQ(L"EW340-2000", m_card_error_.error_code);
  EXPECT_EQ(platform::kScardFInternalError, m_card_error_.pcsc_api_error);
}

// Windows stops its smart-card service when the last reader is unplugged.
TEST_F(PcscSession, StoppedServiceReachesTheCallerAsNoReader) {
  m_api_.SetEstablishResult(platform::kScardENoService);
  EXPECT_EQ(kCardPcscFailure, Establish(kPasswordTypeLogin, true));
  EXPECT_EQ(L"", m_card_error_.error_code);
  EXPECT_EQ(platform::kScardENoService, m_card_error_.pcsc_api_error);
}

TEST_F(PcscSession, ReaderNamesAreWalkedInServiceOrder) {
  m_api_.AddReader(L"First");
  m_api_.AddReader(L"Second \x30ea\x30fc\x30c0");
  platform::ScardContext l_context = 0;
  ASSERT_EQ(platform::kScardSuccess, m_api_.EstablishContext(&l_context));
  std::vector<std::wstring> l_names{L"stale"};
  ASSERT_EQ(kCardOk, m_library_.GetRwNameList(&m_card_error_, l_context, &l_names));
  EXPECT_EQ((std::vector<std::wstring>{L"First", L"Second \x30ea\x30fc\x30c0"}), l_names);
  EXPECT_EQ(kCardInvalid, m_library_.GetRwNameList(&m_card_error_, 0, &l_names));
  m_api_.ReleaseContext(l_context);
}

class ConnectedSession : public PcscSession {
 protected:
  void SetUp() override {
    m_api_.AddReader(L"Reader");
    m_api_.Expect(test::kSelectCardSurface, Ok());
    ASSERT_EQ(kCardOk, Establish(kPasswordTypeInfo, false));
  }
  void TearDown() override { m_connection_.ReleaseCard(); }
};

TEST_F(ConnectedSession, ExpectedLengthOver258IsRefusedWithoutTransmit) {
  const std::uint8_t l_command[] = {0x00, 0xB0, 0x81, 0x00, 0x0F};
  EXPECT_EQ(kCardInvalid, m_library_.SendCommand(l_command, sizeof(l_command), &m_card_error_, 259));
  EXPECT_EQ(kCardInvalid, m_library_.SendCommand(nullptr, 5, &m_card_error_));
  EXPECT_EQ(kCardInvalid, m_library_.SendCommand(l_command, 0, &m_card_error_));
  EXPECT_EQ(1U, m_api_.Sent().size());
}

TEST_F(ConnectedSession, StatusBytesOfAFailedCommandAreKept) {
  m_api_.Expect("00B081000F", Status(0x63, 0xC2));
  const std::uint8_t l_command[] = {0x00, 0xB0, 0x81, 0x00, 0x0F};
  EXPECT_EQ(kCardStatus, m_library_.SendCommand(l_command, sizeof(l_command), &m_card_error_));
  EXPECT_EQ(0x63, m_card_error_.sw1);
  EXPECT_EQ(0xC2, m_card_error_.sw2);
}

TEST_F(ConnectedSession, AnswerWithoutStatusBytesIsARemovedCard) {
  for (const std::vector<std::uint8_t>& l_answer : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0x90}}) {
    m_api_.Expect("00B081000F", test::ScriptedReply{platform::kScardSuccess, l_answer, {}});
    const std::uint8_t l_command[] = {0x00, 0xB0, 0x81, 0x00, 0x0F};
    m_card_error_.pcsc_api_error = 0;
    EXPECT_EQ(kCardPcscFailure, m_library_.SendCommand(l_command, sizeof(l_command), &m_card_error_));
    EXPECT_EQ(platform::kScardWRemovedCard, m_card_error_.pcsc_api_error);
  }
}

// What a T=0 reader answers, and what the session makes of it.
struct T0Case {
  const char* name;
  std::string command;
  std::vector<std::pair<std::string, test::ScriptedReply>> exchanges;
  std::uint32_t expected_length;
  int result;
  std::string data;  // hexadecimal, on success
};

class T0Session : public ::testing::TestWithParam<T0Case> {
 protected:
  void SetUp() override {
    m_api_.AddReader(L"Reader");
    const auto l_any_card = [](CardErrorInfo*) { return kCardOk; };
    ASSERT_EQ(kCardOk, m_connection_.EstablishCard(l_any_card, L"", L"", &m_card_error_));
  }
  void TearDown() override { m_connection_.ReleaseCard(); }

  ScriptedSCardApi m_api_;
  PcscConnection m_connection_{m_api_};
  CardErrorInfo m_card_error_;
};

TEST_P(T0Session, FetchesTheDataTheCardHolds) {
  for (const auto& l_exchange : GetParam().exchanges) m_api_.Expect(l_exchange.first, l_exchange.second);
  const std::vector<std::uint8_t> l_command = test::Bytes(GetParam().command);
  EXPECT_EQ(GetParam().result,
            m_connection_.SendCommand(l_command.data(), l_command.size(), &m_card_error_, GetParam().expected_length));
  EXPECT_TRUE(m_api_.Finished()) << (m_api_.Unexpected().empty() ? "" : m_api_.Unexpected().front());
  if (GetParam().result == kCardOk) {
    const std::uint8_t* l_data = m_connection_.ResponseData();
    EXPECT_EQ(GetParam().data,
              test::HexOf(std::vector<std::uint8_t>(l_data, l_data + m_connection_.ResponseDataLength())));
  }
}

const std::string kSignCommand = "802A00801F" + std::string(62, 'A') + "00";
const std::string kSignature = std::string(512, 'C');

INSTANTIATE_TEST_SUITE_P(
    SendCommand, T0Session,
    ::testing::Values(
        T0Case{"GetResponseAfter61", kSignCommand,
               {{kSignCommand, Status(0x61, 0x00)}, {"00C0000000", Ok(kSignature)}}, 258, kCardOk, kSignature},
        T0Case{"GetResponseInTwoParts", "00B0000004",
               {{"00B0000004", Status(0x61, 0x02)}, {"00C0000002", {0, {0x30, 0x82, 0x61, 0x02}, {}}},
                {"00C0000002", Ok("05D8")}},
               6, kCardOk, "308205D8"},
        T0Case{"ResendWithTheLengthOf6C", "00B0000004",
               {{"00B0000004", Status(0x6C, 0x02)}, {"00B0000002", Ok("3003")}}, 6, kCardOk, "3003"},
        T0Case{"MoreThanAskedForIsRefused", "00B0000004", {{"00B0000004", Status(0x61, 0x10)}}, 6, kCardStatus, ""},
        T0Case{"StatusOfTheGetResponseCounts", kSignCommand,
               {{kSignCommand, Status(0x61, 0x00)}, {"00C0000000", Status(0x69, 0x85)}}, 258, kCardStatus, ""},
        T0Case{"No6CResendWithoutLe", "0020008103313233", {{"0020008103313233", Status(0x6C, 0x02)}}, 252,
               kCardStatus, ""}),
    [](const ::testing::TestParamInfo<T0Case>& in_l_info) { return std::string(in_l_info.param.name); });

// A PIN this session verified must not stay verified on the card once the session ends.
TEST_F(PcscSession, ReleaseResetsTheCardOnlyAfterAVerifiedPin) {
  m_api_.AddReader(L"Reader");
  for (const bool l_verify : {false, true}) {
    m_api_.Expect(test::kSelectCardSurface, Ok());
    ASSERT_EQ(kCardOk, Establish(kPasswordTypeInfo, false));
    m_api_.Expect("00200081", Status(0x63, 0xC3));
    const std::uint8_t l_tries[] = {0x00, 0x20, 0x00, 0x81};
    EXPECT_EQ(kCardStatus, m_library_.SendCommand(l_tries, sizeof(l_tries), &m_card_error_));
    if (l_verify) {
      m_api_.Expect("002000810431323334", Ok());
      const std::uint8_t l_pin[] = {0x00, 0x20, 0x00, 0x81, 0x04, 0x31, 0x32, 0x33, 0x34};
      EXPECT_EQ(kCardOk, m_library_.SendCommand(l_pin, sizeof(l_pin), &m_card_error_));
    }
    m_connection_.ReleaseCard();
    EXPECT_EQ(l_verify ? 1U : 0U, m_api_.ResetDisconnects());
  }
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(ConnectedSession, TransmitFailureKeepsThePcscResult) {
  m_api_.Expect("00B081000F", PcscFailure(platform::kScardWRemovedCard));
  const std::uint8_t l_command[] = {0x00, 0xB0, 0x81, 0x00, 0x0F};
  EXPECT_EQ(kCardPcscFailure, m_library_.SendCommand(l_command, sizeof(l_command), &m_card_error_));
  EXPECT_EQ(platform::kScardWRemovedCard, m_card_error_.pcsc_api_error);
}

}  // namespace
}  // namespace tavc
