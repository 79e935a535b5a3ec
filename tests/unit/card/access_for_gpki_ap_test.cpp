// The GPKI card library and operations on the scripted card: command layouts,
// every kind of failure of every step with its code, refusals, cancellation.
#include <gtest/gtest.h>

#include "host/card/access_for_gpki_ap.h"
#include "host/card/card_result.h"
#include "platform/named_event.h"
#include "platform/process_id.h"
#include "tests/unit/card/card_scripts.h"

namespace tavc {
namespace {

using namespace test;  // NOLINT: the scripted card's vocabulary

const std::string kVerify = "0020009B08 47504B4931323334";
const std::string kChange = "0024019B08 4E45575041535331";
const std::string kSelectEf = "00A4020C020011";
const std::string kSignCommand = "802A000033...";
const ScriptedReply kRemoved = PcscFailure(platform::kScardWRemovedCard);
const ScriptedReply kInternal = PcscFailure(platform::kScardFInternalError);
const ScriptedReply kNoReaders = PcscFailure(platform::kScardENoReadersAvailable);

class GpkiRig {
 public:
  void Prepare(const std::wstring& in_l_mode) {
    m_store_.SetMode(in_l_mode);
    m_store_.SetPassword(L"GPKI1234");
    m_store_.SetNewPassword(L"NEWPASS1");
    for (const std::wstring& l_digest : m_digests_) m_store_.SetDigest(l_digest);
    m_api_.AddReader(L"Reader");
    m_api_.Expect(kSelectGpki, Ok());
    m_api_.Expect(kReadToken, Ok(Token("GPKIAPICCTOKEN2-1")));
    ASSERT_EQ(0, m_access_.EstablishCardSession(&m_error_, &m_store_, &m_result_));
    m_established_commands_ = m_api_.Sent().size();
  }
  std::size_t CommandsAfterEstablish() const { return m_api_.Sent().size() - m_established_commands_; }

  ScriptedSCardApi m_api_;
  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
  AccessForGpkiAp m_access_{m_api_};
  std::size_t m_established_commands_ = 0;
  std::vector<std::wstring> m_digests_{Wide(DigestInfoHex(1))};
};

enum class Op { kCheckPassword, kGetCertificate, kSign, kChangePassword };

struct Step {
  std::string command;
  ScriptedReply reply;
};

struct SlotCase {
  std::string name;
  const wchar_t* mode;
  Op op;
  std::vector<Step> steps;
  const wchar_t* code;
  const wchar_t* detail1;
  const wchar_t* detail2;
};

class GpkiSlots : public ::testing::TestWithParam<SlotCase>, protected GpkiRig {};

TEST_P(GpkiSlots, RecordTheSlotCodeAndCloseTheSession) {
  const SlotCase& l_case = GetParam();
  Prepare(l_case.mode);
  for (const Step& l_step : l_case.steps) m_api_.Expect(l_step.command, l_step.reply);
  int l_ret = 0;
  switch (l_case.op) {
    case Op::kCheckPassword: l_ret = m_access_.CheckCardPassword(); break;
    case Op::kGetCertificate: l_ret = m_access_.GetCertificate(); break;
    case Op::kSign: l_ret = m_access_.ComputeSignature(); break;
    case Op::kChangePassword: l_ret = m_access_.ChangePassword(); break;
  }
  EXPECT_EQ(1, l_ret);
  EXPECT_EQ(l_case.code, m_error_.GetCode());
  EXPECT_EQ(l_case.detail1, m_error_.GetDetail1());
  EXPECT_EQ(l_case.detail2, m_error_.GetDetail2());
  EXPECT_TRUE(m_api_.Finished()) << m_api_.RemainingExpectations() << " expected commands left";
  EXPECT_EQ(0U, m_api_.OpenHandles());
  EXPECT_EQ(0U, m_api_.BadReleases());
}

std::string CaseName(const ::testing::TestParamInfo<SlotCase>& in_l_info) { return in_l_info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Steps, GpkiSlots,
    ::testing::Values(
        SlotCase{"VerifyRemoved", L"11", Op::kCheckPassword, {{kVerify, kRemoved}}, L"EWC40-4010", L"0x80100069", L""},
        SlotCase{"VerifyPcsc", L"12", Op::kCheckPassword, {{kVerify, kInternal}}, L"EWC44-4000", L"0x80100001", L""},
        SlotCase{"VerifyWrong", L"12", Op::kCheckPassword, {{kVerify, Status(0x63, 0xC1)}}, L"EWC40-4020", L"0x63", L"0xc1"},
        SlotCase{"VerifyLocked", L"11", Op::kCheckPassword, {{kVerify, Status(0x69, 0x84)}}, L"EWC40-4000", L"0x69", L"0x84"},
        SlotCase{"VerifyStatus", L"11", Op::kCheckPassword, {{kVerify, Status(0x69, 0x82)}}, L"EWC44-4001", L"0x69", L"0x82"},
        SlotCase{"VerifyNoReader", L"11", Op::kCheckPassword, {{kVerify, kNoReaders}}, L"EWC40-4010", L"0x8010002e", L""},
        SlotCase{"CertificateRemoved", L"12", Op::kGetCertificate, {{"00B0810004", kRemoved}}, L"EWC40-4110", L"0x80100069", L""},
        SlotCase{"CertificatePcsc", L"12", Op::kGetCertificate, {{"00B0810004", kInternal}}, L"EWC44-4100", L"0x80100001", L""},
        SlotCase{"CertificateStatus", L"11", Op::kGetCertificate, {{"00B0810004", Status(0x6A, 0x82)}}, L"EWC44-4101", L"0x6a", L"0x82"},
        SlotCase{"CertificateShortChunk", L"11", Op::kGetCertificate,
                 {{"00B0810004", Ok("308201F4")}, {"00B00000FA", Ok("0102")}}, L"EWC44-4101", L"0x90", L"0x00"},
        SlotCase{"SelectFileRemoved", L"11", Op::kSign, {{kSelectEf, kRemoved}}, L"EWC44-4502", L"0x80100069", L""},
        SlotCase{"SelectFilePcsc", L"11", Op::kSign, {{kSelectEf, kInternal}}, L"EWC40-4511", L"0x80100001", L""},
        SlotCase{"SelectFileStatus", L"12", Op::kSign, {{kSelectEf, Status(0x6A, 0x82)}}, L"EWC44-4503", L"0x6a", L"0x82"},
        SlotCase{"SignRemoved", L"11", Op::kSign, {{kSelectEf, Ok()}, {kSignCommand, kRemoved}}, L"EWC40-4510", L"0x80100069", L""},
        SlotCase{"SignPcsc", L"12", Op::kSign, {{kSelectEf, Ok()}, {kSignCommand, kInternal}}, L"EWC44-4500", L"0x80100001", L""},
        SlotCase{"SignStatus", L"11", Op::kSign, {{kSelectEf, Ok()}, {kSignCommand, Status(0x69, 0x82)}}, L"EWC44-4501", L"0x69", L"0x82"},
        SlotCase{"ChangeSelectRemoved", L"13", Op::kChangePassword, {{kSelectGpki, kRemoved}}, L"EWD40-4610", L"0x80100069", L""},
        SlotCase{"ChangeSelectNoReader", L"13", Op::kChangePassword, {{kSelectGpki, kNoReaders}}, L"EWD40-4610", L"0x8010002e", L""},
        SlotCase{"ChangeSelectPcsc", L"13", Op::kChangePassword, {{kSelectGpki, kInternal}}, L"EWD44-4600", L"0x80100001", L""},
        SlotCase{"ChangeSelectStatus", L"13", Op::kChangePassword, {{kSelectGpki, Status(0x6A, 0x82)}}, L"EWD44-4601", L"0x6a", L"0x82"},
        SlotCase{"ChangeVerifyRemoved", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, kRemoved}}, L"EWD40-4611", L"0x80100069", L""},
        SlotCase{"ChangeVerifyPcsc", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, kInternal}}, L"EWD44-4602", L"0x80100001", L""},
        SlotCase{"ChangeVerifyWrong", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, Status(0x63, 0xC3)}}, L"EWD40-4640", L"0x63", L"0xc3"},
        SlotCase{"ChangeVerifyLocked", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, Status(0x63, 0xC0)}}, L"EWD44-4650", L"0x63", L"0xc0"},
        SlotCase{"ChangeVerifyStatus", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, Status(0x67, 0x00)}}, L"EWD44-4603", L"0x67", L"0x00"},
        SlotCase{"ChangeChangeRemoved", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, Ok()}, {kChange, kRemoved}}, L"EWD40-4612", L"0x80100069", L""},
        SlotCase{"ChangeChangePcsc", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, Ok()}, {kChange, kInternal}}, L"EWD44-4604", L"0x80100001", L""},
        SlotCase{"ChangeChangeStatus", L"13", Op::kChangePassword, {{kSelectGpki, Ok()}, {kVerify, Ok()}, {kChange, Status(0x6A, 0x80)}}, L"EWD44-4605", L"0x6a", L"0x80"}),
    CaseName);

struct SessionCase {
  const char* name;
  const wchar_t* mode;
  int setup;  // 0 no context, 1 list fails, 2 no reader, 3 no card, 4 a My Number card, 5 no service
  const wchar_t* code;
  const wchar_t* detail1;
};

class GpkiSessions : public ::testing::TestWithParam<SessionCase> {};

TEST_P(GpkiSessions, FailWithTheModesCode) {
  ScriptedSCardApi l_api;
  switch (GetParam().setup) {
    case 0: l_api.SetEstablishResult(platform::kScardFInternalError); break;
    case 1: l_api.SetListResult(platform::kScardFInternalError); break;
    case 5: l_api.SetEstablishResult(platform::kScardENoService); break;
    case 2: break;
    case 3: l_api.AddReader(L"Empty", platform::kScardENoSmartcard); break;
    default:
      l_api.AddReader(L"Reader");
      l_api.Expect(kSelectGpki, Status(0x6A, 0x82));
      break;
  }
  DataStore l_store;
  l_store.SetMode(GetParam().mode);
  ResultData l_result;
  ErrorInfo l_error;
  AccessForGpkiAp l_access(l_api);
  EXPECT_EQ(1, l_access.EstablishCardSession(&l_error, &l_store, &l_result));
  EXPECT_EQ(GetParam().code, l_error.GetCode());
  EXPECT_EQ(GetParam().detail1, l_error.GetDetail1());
  EXPECT_EQ(0U, l_api.OpenHandles());
  EXPECT_TRUE(l_api.Finished());
}

INSTANTIATE_TEST_SUITE_P(
    EstablishCardSession, GpkiSessions,
    ::testing::Values(SessionCase{"SignNoContext", L"11", 0, L"EWC44-3900", L"0x80100001"},
                      SessionCase{"SignNoService", L"11", 5, L"EWC40-3910", L"0x8010001d"},
                      SessionCase{"SignPcsc", L"12", 1, L"EWC44-3901", L"0x80100001"},
                      SessionCase{"SignNoReader", L"11", 2, L"EWC40-3910", L"0x8010002e"},
                      SessionCase{"SignNoCard", L"12", 3, L"EWC40-3911", L""},
                      SessionCase{"SignMyNumberCard", L"11", 4, L"EWC40-3911", L""},
                      SessionCase{"ChangeNoContext", L"13", 0, L"EWD44-3900", L"0x80100001"},
                      SessionCase{"ChangeNoService", L"13", 5, L"EWD40-3910", L"0x8010001d"},
                      SessionCase{"ChangePcsc", L"13", 1, L"EWD44-3901", L"0x80100001"},
                      SessionCase{"ChangeNoReader", L"13", 2, L"EWD40-3910", L"0x8010002e"},
                      SessionCase{"ChangeNoCard", L"13", 3, L"EWD40-3911", L""}),
    [](const ::testing::TestParamInfo<SessionCase>& in_l_info) { return std::string(in_l_info.param.name); });

class GpkiOperations : public ::testing::Test, protected GpkiRig {
 protected:
  void TearDown() override { EXPECT_TRUE(m_api_.Unexpected().empty()) << m_api_.Unexpected().front(); }
};

TEST_F(GpkiOperations, SignatureSelectsTheKeyFileOnceThenSignsEachDigest) {
  m_digests_.push_back(Wide(DigestInfoHex(2)));
  Prepare(L"11");
  m_api_.Expect(kSelectEf, Ok());
  m_api_.Expect("802A000033" + DigestInfoHex(1) + "00", Ok(FakeSignature(1)));
  m_api_.Expect("802A000033" + DigestInfoHex(2) + "00", Ok(FakeSignature(2)));
  ASSERT_EQ(0, m_access_.ComputeSignature());
  EXPECT_TRUE(m_api_.Finished());
  EXPECT_EQ(2U, m_result_.GetSignature().size());
}

TEST_F(GpkiOperations, BothCertificateFilesAreReadByType) {
  Prepare(L"12");
  const std::vector<std::uint8_t> l_first = FakeCertificate(700);
  const std::vector<std::uint8_t> l_second = FakeCertificate(300);
  m_api_.Expect("00B0810004", Ok(std::vector<std::uint8_t>(l_first.begin(), l_first.begin() + 4)));
  ExpectCertificateChunks(m_api_, l_first);
  m_api_.Expect("00B0820004", Ok(std::vector<std::uint8_t>(l_second.begin(), l_second.begin() + 4)));
  ExpectCertificateChunks(m_api_, l_second);
  m_store_.SetGpkiCertificateType(kGpkiCertificateFirst);
  ASSERT_EQ(0, m_access_.GetCertificate());
  EXPECT_EQ(1400U, m_result_.GetCertificate().size());
  m_store_.SetGpkiCertificateType(kGpkiCertificateSecond);
  ASSERT_EQ(0, m_access_.GetCertificate());
  EXPECT_EQ(600U, m_result_.GetCertificate().size());
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(GpkiOperations, FailedReadLeavesNoCertificateBehind) {
  Prepare(L"12");
  m_result_.SetCertificate(L"3082");
  m_store_.SetGpkiCertificateType(2);
  EXPECT_EQ(1, m_access_.GetCertificate());
  EXPECT_EQ(L"EW044-4199", m_error_.GetCode());
  EXPECT_EQ(L"0x40031405", m_error_.GetDetail1());
  EXPECT_EQ(L"", m_result_.GetCertificate());
}

TEST_F(GpkiOperations, PasswordIsChangedAfterSelectAndVerify) {
  Prepare(L"13");
  m_api_.Expect(kSelectGpki, Ok());
  m_api_.Expect(kVerify, Ok());
  m_api_.Expect(kChange, Ok());
  EXPECT_EQ(0, m_access_.ChangePassword());
  EXPECT_TRUE(m_api_.Finished());
  EXPECT_EQ(1, m_access_.ValidateCardSession());
}

TEST_F(GpkiOperations, OverlongPasswordIsRefusedUnsent) {
  Prepare(L"11");
  m_store_.SetPassword(L"ABCDEFGHIJ1234567");
  EXPECT_EQ(1, m_access_.CheckCardPassword());
  EXPECT_EQ(L"EW044-4099", m_error_.GetCode());
  EXPECT_EQ(L"0x40030205", m_error_.GetDetail1());
  EXPECT_EQ(0U, CommandsAfterEstablish());
}

TEST_F(GpkiOperations, NewPasswordThatCannotTravelIsTheCheckErrorPoint) {
  Prepare(L"13");
  m_store_.SetNewPassword(L"ABCDEFGHIJ1234567");
  m_api_.Expect(kSelectGpki, Ok());
  m_api_.Expect(kVerify, Ok());
  EXPECT_EQ(1, m_access_.ChangePassword());
  EXPECT_EQ(L"EW044-4699", m_error_.GetCode());
  EXPECT_EQ(L"0x40031201", m_error_.GetDetail1());
}

TEST_F(GpkiOperations, DigestThatIsNotADigestInfoIsRefusedBeforeTheKeyFile) {
  // 51 bytes of a text a page chose stop the signing as a short digest does.
  m_digests_ = {Wide(DigestInfoHex(1)), Wide(HexOf(std::vector<std::uint8_t>(51, 'A'))),
                Wide(DigestInfoHex(1).substr(0, 64))};
  Prepare(L"11");
  EXPECT_EQ(1, m_access_.ComputeSignature());
  EXPECT_EQ(L"EW044-4599", m_error_.GetCode());
  EXPECT_EQ(L"0x40031309", m_error_.GetDetail1());
  EXPECT_EQ(0U, CommandsAfterEstablish());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST_F(GpkiOperations, CancelStopsBeforeTheNextDigest) {
  platform::NamedEvent l_cancel =
      platform::NamedEvent::Create(L"Cancel_" + std::to_wstring(platform::CurrentProcessId()));
  m_digests_.push_back(Wide(DigestInfoHex(2)));
  Prepare(L"12");
  m_api_.Expect(kSelectEf, Ok());
  ScriptedReply l_first = Ok(FakeSignature(1));
  l_first.side_effect = [&] { l_cancel.Set(); };
  m_api_.Expect(kSignCommand, l_first);
  EXPECT_EQ(1, m_access_.ComputeSignature());
  EXPECT_EQ(1U, m_result_.GetSignature().size());
  EXPECT_EQ(L"", m_error_.GetCode());
  EXPECT_EQ(0U, m_api_.OpenHandles());
}

TEST(GpkiLibrary, JpkiTokenIsNotAGpkiCard) {
  ScriptedSCardApi l_api;
  l_api.AddReader(L"Reader");
  l_api.Expect(kSelectGpki, Ok());
  l_api.Expect(kReadToken, Ok(Token("JPKIAPICCTOKEN2")));
  PcscConnection l_connection(l_api);
  LibraryForGpkiAp l_library(l_connection);
  CardErrorInfo l_error;
  EXPECT_EQ(kCardNotFound, l_library.EstablishCard(&l_error));
  EXPECT_TRUE(l_api.Finished());
  EXPECT_EQ(0U, l_api.OpenHandles());
}

}  // namespace
}  // namespace tavc
