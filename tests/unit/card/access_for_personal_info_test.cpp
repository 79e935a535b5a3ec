// The My Number card operations: what they produce, what they refuse before
// anything is sent, cancellation, and how the session is set up per mode.
#include <gtest/gtest.h>

#include "platform/named_event.h"
#include "platform/process_id.h"
#include "tests/unit/card/id_card_rig.h"

namespace tavc {
namespace {

using namespace test;  // NOLINT: the scripted card's vocabulary

class IdCardOperations : public ::testing::Test, protected IdCardRig {
 protected:
  void TearDown() override {
    EXPECT_TRUE(m_api_.Unexpected().empty()) << m_api_.Unexpected().front();
  }
};

std::wstring LowerHex(const std::vector<std::uint8_t>& in_l_bytes) {
  std::string l_hex = HexOf(in_l_bytes);
  for (char& l_c : l_hex) {
    if (l_c >= 'A' && l_c <= 'F') l_c = static_cast<char>(l_c - 'A' + 'a');
  }
  return Wide(l_hex);
}

TEST_F(IdCardOperations, LoginProducesSignatureCertificateAndBothCodes) {
  Prepare(L"01");
  const std::vector<std::uint8_t> l_certificate = FakeCertificate(1500);
  const std::string l_record = "011C" + AsciiHex("123456789012345" "13101" "20351231");
  m_api_.Expect(kVerifyLogin, Ok());
  m_api_.Expect("00B08A0004", Ok("308205D8"));
  ExpectCertificateChunks(m_api_, l_certificate);
  m_api_.Expect("802A009733" + DigestInfoHex(1) + "00", Ok(FakeSignature(5)));
  m_api_.Expect(kSelectCardInfo, Ok());
  m_api_.Expect(kReadRecord, Ok(l_record));
  m_api_.Expect(kSelectCardInfo, Ok());
  m_api_.Expect(kReadRecord, Ok(l_record));
  ASSERT_EQ(0, m_access_.CheckCardPassword());
  ASSERT_EQ(0, m_access_.GetCertificate());
  ASSERT_EQ(0, m_access_.ComputeSignature());
  ASSERT_EQ(0, m_access_.ExtractCombinationCode());
  ASSERT_EQ(0, m_access_.ExtractCityCode());
  EXPECT_TRUE(m_api_.Finished());
  // With select and token: 15 commands for a 1,500-byte certificate.
  EXPECT_EQ(13U, CommandsAfterEstablish());
  EXPECT_EQ(LowerHex(l_certificate), m_result_.GetCertificate());
  EXPECT_EQ(std::vector<std::wstring>{LowerHex(FakeSignature(5))}, m_result_.GetSignature());
  EXPECT_EQ(L"b8348816731f121ef21781f78e2e533de65076e11d3a57be9080c3b566871bc5", m_result_.GetCombinationCode());
  EXPECT_EQ(L"3133313031", m_result_.GetCityCode());
  EXPECT_EQ(L"", m_error_.GetCode());
  EXPECT_EQ(1, m_access_.ValidateCardSession());
  m_access_.ReleaseCardSession();
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(IdCardOperations, PersonalDataOfMode03IncludesTheIndividualNumber) {
  Prepare(L"03");
  m_store_.SetCombinationCodeFlag(0);
  const std::vector<std::uint8_t> l_items = BasicFourItems("NAME", "ADDR", "19850415", '2');
  m_api_.Expect("00B081000F", Ok("FF100C" + AsciiHex("123456789018")));
  ExpectBasicFourItemsReads(m_api_, l_items);
  ASSERT_EQ(0, m_access_.ExtractPersonalInfo());
  EXPECT_EQ(0, m_access_.ExtractCombinationCode());
  EXPECT_TRUE(m_api_.Finished());
  EXPECT_EQ(L"313233343536373839303138", m_result_.GetMynumber());
  EXPECT_EQ(L"4e414d45", m_result_.GetName());
  EXPECT_EQ(L"41444452", m_result_.GetAddress());
  EXPECT_EQ(L"3139383530343135", m_result_.GetBirthday());
  EXPECT_EQ(L"32", m_result_.GetSex());
}

TEST_F(IdCardOperations, PersonalDataOfMode04LeavesTheNumberOut) {
  Prepare(L"04");
  ExpectBasicFourItemsReads(m_api_, BasicFourItems("N", "A", "19850415", '1'));
  ASSERT_EQ(0, m_access_.ExtractPersonalInfo());
  EXPECT_TRUE(m_api_.Finished());
  EXPECT_EQ(L"", m_result_.GetMynumber());
  EXPECT_EQ(L"31", m_result_.GetSex());
}

TEST_F(IdCardOperations, CodesAreOnlyMadeInTheirModesAndWithTheirFlags) {
  Prepare(L"02");
  EXPECT_EQ(0, m_access_.ExtractCityCode());
  EXPECT_EQ(0, m_access_.ExtractCombinationCode());
  m_store_.SetMode(L"01");
  m_store_.SetCityCodeFlag(0);
  m_store_.SetCombinationCodeFlag(0);
  EXPECT_EQ(0, m_access_.ExtractCityCode());
  EXPECT_EQ(0, m_access_.ExtractCombinationCode());
  EXPECT_EQ(0U, CommandsAfterEstablish());
  EXPECT_EQ(L"", m_result_.GetCityCode());
}

TEST_F(IdCardOperations, MalformedUuidStopsTheCombinationCodeAtItsOwnPoint) {
  Prepare(L"01");
  m_result_.SetUuid(L"0011223344556677");
  m_api_.Expect(kSelectCardInfo, Ok());
  m_api_.Expect(kReadRecord, Ok("011C" + AsciiHex("123456789012345" "13101")));
  EXPECT_EQ(1, m_access_.ExtractCombinationCode());
  EXPECT_EQ(L"EW144-3A99", m_error_.GetCode());
  EXPECT_EQ(L"0x40021505", m_error_.GetDetail1());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(IdCardOperations, ThreeDigestsAreSignedInOrder) {
  Prepare(L"02");
  m_store_.SetDigest(Wide(DigestInfoHex(2)));
  m_store_.SetDigest(Wide(DigestInfoHex(3)));
  for (std::uint8_t l_i = 1; l_i <= 3; ++l_i) {
    m_api_.Expect("802A009A33" + DigestInfoHex(l_i) + "00", Ok(FakeSignature(l_i)));
  }
  ASSERT_EQ(0, m_access_.ComputeSignature());
  EXPECT_EQ(3U, CommandsAfterEstablish());
  ASSERT_EQ(3U, m_result_.GetSignature().size());
  EXPECT_EQ(LowerHex(FakeSignature(3)), m_result_.GetSignature()[2]);
}

class CancelEvent {
 public:
  CancelEvent()
      : m_event_(platform::NamedEvent::Create(L"Cancel_" + std::to_wstring(platform::CurrentProcessId()))) {}
  platform::NamedEvent& Get() { return m_event_; }

 private:
  platform::NamedEvent m_event_;
};

TEST_F(IdCardOperations, CancelBeforeTheSecondDigestStopsWithTheErrorKept) {
  CancelEvent l_cancel;
  Prepare(L"02");
  m_store_.SetDigest(Wide(DigestInfoHex(2)));
  m_store_.SetDigest(Wide(DigestInfoHex(3)));
  m_error_.SetError(L"EW044-2400", L"kept", L"", L"");
  ScriptedReply l_first = Ok(FakeSignature(1));
  l_first.side_effect = [&] { l_cancel.Get().Set(); };
  m_api_.Expect("802A009A33" + DigestInfoHex(1) + "00", l_first);
  EXPECT_EQ(1, m_access_.ComputeSignature());
  EXPECT_EQ(1U, m_result_.GetSignature().size());
  EXPECT_EQ(L"EW044-2400", m_error_.GetCode());
  EXPECT_EQ(L"kept", m_error_.GetDetail1());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

// A log-in answers one signature: the first digest is the only one the card signs.
TEST_F(IdCardOperations, LoginSignsTheFirstDigestOnly) {
  Prepare(L"01");
  for (std::uint8_t l_i = 2; l_i <= 200; ++l_i) m_store_.SetDigest(Wide(DigestInfoHex(l_i)));
  m_api_.Expect(kSignLogin, Ok(FakeSignature(1)));
  EXPECT_EQ(0, m_access_.ComputeSignature());
  EXPECT_EQ(1U, CommandsAfterEstablish());
  ASSERT_EQ(1U, m_result_.GetSignature().size());
  EXPECT_EQ(LowerHex(FakeSignature(1)), m_result_.GetSignature()[0]);
}

class IdCardCancelledSigning : public ::testing::TestWithParam<const wchar_t*>, protected IdCardRig {};

TEST_P(IdCardCancelledSigning, ASetCancelEventStopsBeforeTheFirstDigest) {
  CancelEvent l_cancel;
  l_cancel.Get().Set();
  Prepare(GetParam());
  EXPECT_EQ(1, m_access_.ComputeSignature());
  EXPECT_EQ(0U, CommandsAfterEstablish());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

INSTANTIATE_TEST_SUITE_P(SigningModes, IdCardCancelledSigning, ::testing::Values(L"01", L"02", L"07"));

struct RefusedDigest {
  const char* name;
  std::vector<std::wstring> digests;
  const wchar_t* detail;
};

class IdCardRefusedDigests : public ::testing::TestWithParam<RefusedDigest>, protected IdCardRig {};

TEST_P(IdCardRefusedDigests, NothingIsSent) {
  m_digests_ = GetParam().digests;
  Prepare(L"07");
  EXPECT_EQ(1, m_access_.ComputeSignature());
  EXPECT_EQ(L"EW044-1899", m_error_.GetCode());
  EXPECT_EQ(GetParam().detail, m_error_.GetDetail1());
  EXPECT_EQ(0U, CommandsAfterEstablish());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

INSTANTIATE_TEST_SUITE_P(
    Digests, IdCardRefusedDigests,
    ::testing::Values(RefusedDigest{"None", {}, L"0x40021305"},
                      RefusedDigest{"Empty", {Wide(DigestInfoHex(1)), L""}, L"0x40021306"},
                      RefusedDigest{"Short", {Wide(DigestInfoHex(1).substr(2))}, L"0x40021308"},
                      RefusedDigest{"Long", {Wide(DigestInfoHex(1) + "00")}, L"0x40021308"},
                      RefusedDigest{"LaterOneNotHex", {Wide(DigestInfoHex(1)), Wide("zz" + DigestInfoHex(1).substr(2))},
                                    L"0x40021308"},
                      RefusedDigest{"NotAscii", {L"\x0130" + Wide(DigestInfoHex(1).substr(1))}, L"0x40021308"},
                      // 51 bytes that are not a SHA-256 DigestInfo: a text a page chose, and SHA-512's header.
                      RefusedDigest{"Text", {Wide(HexOf(std::vector<std::uint8_t>(51, 'A')))}, L"0x40021308"},
                      RefusedDigest{"OtherHash", {Wide("3051300D060960864801650304020305000440" + DigestInfoHex(1).substr(38))},
                                    L"0x40021308"}),
    [](const ::testing::TestParamInfo<RefusedDigest>& in_l_info) { return std::string(in_l_info.param.name); });

TEST_F(IdCardOperations, OperationsWithoutASessionFailAtTheirFirstPoint) {
  Prepare(L"01");
  m_access_.ReleaseCardSession();
  EXPECT_EQ(1, m_access_.CheckCardPassword());
  EXPECT_EQ(L"EW044-2199", m_error_.GetCode());
  EXPECT_EQ(L"0x40020201", m_error_.GetDetail1());
  EXPECT_EQ(1, m_access_.GetCertificate());
  EXPECT_EQ(L"0x40021401", m_error_.GetDetail1());
  EXPECT_EQ(1, m_access_.ComputeSignature());
  EXPECT_EQ(L"0x40021301", m_error_.GetDetail1());
  EXPECT_EQ(1, m_access_.ExtractCityCode());
  EXPECT_EQ(L"EW144-3899", m_error_.GetCode());
  EXPECT_EQ(L"0x40021601", m_error_.GetDetail1());
  EXPECT_EQ(1, m_access_.ChangePassword());
  EXPECT_EQ(L"EW044-3199", m_error_.GetCode());
  EXPECT_EQ(0U, CommandsAfterEstablish());
}

TEST_F(IdCardOperations, EmptyPasswordIsRefusedUnsent) {
  Prepare(L"01");
  m_store_.SetPassword(L"");
  EXPECT_EQ(1, m_access_.CheckCardPassword());
  EXPECT_EQ(L"0x40020204", m_error_.GetDetail1());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(IdCardOperations, PersonalDataOutsideItsModesIsRefused) {
  Prepare(L"02");
  EXPECT_EQ(1, m_access_.ExtractPersonalInfo());
  EXPECT_EQ(L"EW044-2299", m_error_.GetCode());
  EXPECT_EQ(L"0x40020306", m_error_.GetDetail1());
}

TEST_F(IdCardOperations, ChangePasswordChecksItsInputsFirst) {
  Prepare(L"06", kPasswordTypeLogin);
  m_store_.SetNewPassword(L"");
  EXPECT_EQ(1, m_access_.ChangePassword());
  EXPECT_EQ(L"0x40020605", m_error_.GetDetail1());
  EXPECT_EQ(0U, CommandsAfterEstablish());
}

TEST_F(IdCardOperations, UnknownPasswordTypeCannotBeChanged) {
  Prepare(L"06", 4);
  EXPECT_EQ(1, m_access_.ChangePassword());
  EXPECT_EQ(L"EW044-3199", m_error_.GetCode());
  EXPECT_EQ(L"0x40020606", m_error_.GetDetail1());
}

TEST_F(IdCardOperations, NewPinThatCannotTravelIsAnUnexpectedFailureOfTheChange) {
  Prepare(L"06", kPasswordTypeInfo);
  m_store_.SetNewPassword(L"56789");
  m_api_.Expect(kSelectCardSurface, Ok());
  m_api_.Expect(kVerifyInfo, Ok());
  EXPECT_EQ(1, m_access_.ChangePassword());
  EXPECT_EQ(L"EW044-3199", m_error_.GetCode());
  EXPECT_EQ(L"0x40021201", m_error_.GetDetail1());
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(IdCardOperations, EachPasswordIsChangedInItsApplication) {
  for (const int l_type : {kPasswordTypeLogin, kPasswordTypeInfo, kPasswordTypeSign}) {
    IdCardRig l_rig;
    l_rig.Prepare(L"06", l_type);
    l_rig.m_api_.Expect(l_type == kPasswordTypeInfo ? kSelectCardSurface : kSelectJpki, Ok());
    l_rig.m_api_.Expect(l_type == kPasswordTypeLogin ? kVerifyLogin : l_type == kPasswordTypeInfo ? kVerifyInfo : kVerifySign, Ok());
    l_rig.m_api_.Expect(l_type == kPasswordTypeLogin ? kChangeLogin : l_type == kPasswordTypeInfo ? kChangeInfo : kChangeSign, Ok());
    EXPECT_EQ(0, l_rig.m_access_.ChangePassword());
    EXPECT_TRUE(l_rig.m_api_.Finished()) << l_type;
    EXPECT_EQ(1, l_rig.m_access_.ValidateCardSession());
  }
}

struct SessionCase {
  const char* name;
  const wchar_t* mode;
  enum class Setup { kNoContext, kListFails, kNoReader, kNoCard, kNoService, kListNoService } setup;
  const wchar_t* code;
  const wchar_t* detail1;
};

class IdCardSessions : public ::testing::TestWithParam<SessionCase> {};

TEST_P(IdCardSessions, FailWithTheModesCode) {
  ScriptedSCardApi l_api;
  switch (GetParam().setup) {
    case SessionCase::Setup::kNoContext: l_api.SetEstablishResult(platform::kScardFInternalError); break;
    case SessionCase::Setup::kNoService: l_api.SetEstablishResult(platform::kScardENoService); break;
    case SessionCase::Setup::kListNoService: l_api.SetListResult(platform::kScardENoService); break;
    case SessionCase::Setup::kListFails: l_api.SetListResult(platform::kScardFInternalError); break;
    case SessionCase::Setup::kNoReader: break;
    case SessionCase::Setup::kNoCard: l_api.AddReader(L"Empty", platform::kScardENoSmartcard); break;
  }
  DataStore l_store;
  l_store.SetMode(GetParam().mode);
  l_store.SetPasswordType(kPasswordTypeSign);
  ResultData l_result;
  ErrorInfo l_error;
  AccessForPersonalInfo l_access(l_api);
  EXPECT_EQ(1, l_access.EstablishCardSession(&l_error, &l_store, &l_result));
  EXPECT_EQ(GetParam().code, l_error.GetCode());
  EXPECT_EQ(GetParam().detail1, l_error.GetDetail1());
  EXPECT_EQ(0, l_access.ValidateCardSession());
  EXPECT_EQ(0U, l_api.OpenHandles());
}

using Setup = SessionCase::Setup;
INSTANTIATE_TEST_SUITE_P(
    EstablishCardSession, IdCardSessions,
    ::testing::Values(SessionCase{"LoginNoContext", L"01", Setup::kNoContext, L"EW144-1500", L"0x80100001"},
                      SessionCase{"LoginPcsc", L"01", Setup::kListFails, L"EW144-1501", L"0x80100001"},
                      SessionCase{"LoginNoReader", L"01", Setup::kNoReader, L"EW140-1510", L"0x8010002e"},
                      SessionCase{"LoginNoCard", L"01", Setup::kNoCard, L"EW140-1511", L""},
                      SessionCase{"LoginNoService", L"01", Setup::kNoService, L"EW140-1510", L"0x8010001d"},
                      SessionCase{"SignListNoService", L"02", Setup::kListNoService, L"EW240-1510", L"0x8010001d"},
                      SessionCase{"InfoNoService", L"04", Setup::kNoService, L"EW340-2010", L"0x8010001d"},
                      SessionCase{"ChangeNoService", L"06", Setup::kNoService, L"EW640-2010", L"0x8010001d"},
                      SessionCase{"SignNoContext", L"07", Setup::kNoContext, L"EW244-1500", L"0x80100001"},
                      SessionCase{"SignPcsc", L"02", Setup::kListFails, L"EW244-1501", L"0x80100001"},
                      SessionCase{"SignNoReader", L"02", Setup::kNoReader, L"EW240-1510", L"0x8010002e"},
                      SessionCase{"SignNoCard", L"07", Setup::kNoCard, L"EW240-1511", L""},
                      SessionCase{"InfoNoContext", L"03", Setup::kNoContext, L"EW340-2000", L"0x80100001"},
                      SessionCase{"InfoPcsc", L"04", Setup::kListFails, L"EW340-2001", L"0x80100001"},
                      SessionCase{"InfoNoReader", L"03", Setup::kNoReader, L"EW340-2010", L"0x8010002e"},
                      SessionCase{"InfoNoCard", L"04", Setup::kNoCard, L"EW340-2011", L""},
                      SessionCase{"ChangeNoContext", L"06", Setup::kNoContext, L"EW640-2000", L"0x80100001"},
                      SessionCase{"ChangePcsc", L"06", Setup::kListFails, L"EW640-2001", L"0x80100001"},
                      SessionCase{"ChangeNoReader", L"06", Setup::kNoReader, L"EW640-2010", L"0x8010002e"},
                      SessionCase{"ChangeNoCard", L"06", Setup::kNoCard, L"EW640-2011", L""}),
    [](const ::testing::TestParamInfo<SessionCase>& in_l_info) { return std::string(in_l_info.param.name); });

TEST(IdCardSession, MissingStoresAreReportedAtTheirPoints) {
  ScriptedSCardApi l_api;
  ErrorInfo l_error;
  DataStore l_store;
  AccessForPersonalInfo l_access(l_api);
  EXPECT_EQ(1, l_access.EstablishCardSession(&l_error, nullptr, nullptr));
  EXPECT_EQ(L"EW044-2099", l_error.GetCode());
  EXPECT_EQ(L"0x40020101", l_error.GetDetail1());
  EXPECT_EQ(1, l_access.EstablishCardSession(&l_error, &l_store, nullptr));
  EXPECT_EQ(L"0x40020102", l_error.GetDetail1());
}

TEST(IdCardSession, ModeChoosesThePasswordTypeAndTheToken) {
  for (const auto& [l_mode, l_type] : {std::pair<std::wstring, int>{L"01", 1}, {L"02", 3}, {L"07", 3}, {L"03", 2}, {L"04", 2}}) {
    ScriptedSCardApi l_api;
    l_api.AddReader(L"Reader");
    const bool l_jpki = l_type != kPasswordTypeInfo;
    l_api.Expect(l_jpki ? kSelectJpki : kSelectCardSurface, Ok());
    if (l_jpki) l_api.Expect(kReadToken, Ok(Token("JPKIAPICCTOKEN2")));
    DataStore l_store;
    l_store.SetMode(l_mode);
    ResultData l_result;
    ErrorInfo l_error;
    AccessForPersonalInfo l_access(l_api);
    EXPECT_EQ(0, l_access.EstablishCardSession(&l_error, &l_store, &l_result));
    EXPECT_EQ(l_type, l_store.GetPasswordType());
    EXPECT_TRUE(l_api.Finished());
  }
}

TEST(IdCardSession, SessionIsReleasedWhenTheObjectGoes) {
  ScriptedSCardApi l_api;
  l_api.AddReader(L"Reader");
  l_api.Expect(kSelectCardSurface, Ok());
  DataStore l_store;
  l_store.SetMode(L"04");
  ResultData l_result;
  ErrorInfo l_error;
  {
    AccessForPersonalInfo l_access(l_api);
    ASSERT_EQ(0, l_access.EstablishCardSession(&l_error, &l_store, &l_result));
    EXPECT_EQ(2U, l_api.OpenHandles());
  }
  EXPECT_EQ(0U, l_api.OpenHandles());
}

}  // namespace
}  // namespace tavc
