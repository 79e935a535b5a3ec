// Every kind of failure of every My Number card step, with its code and details;
// each leaves the session closed.
#include <gtest/gtest.h>

#include "tests/unit/card/id_card_rig.h"

namespace tavc {
namespace {

using namespace test;  // NOLINT: the scripted card's vocabulary

enum class Op { kCheckPassword, kGetCertificate, kSign, kPersonalInfo, kCityCode, kCombinationCode, kChangePassword };

struct Step {
  std::string command;
  ScriptedReply reply;
};

struct SlotCase {
  std::string name;
  const wchar_t* mode;
  int password_type;  // mode "06" only
  Op op;
  std::vector<Step> steps;  // after the session is open; the last one fails
  const wchar_t* code;
  const wchar_t* detail1;
  const wchar_t* detail2;
};

const ScriptedReply kRemoved = PcscFailure(platform::kScardWRemovedCard);
const ScriptedReply kInternal = PcscFailure(platform::kScardFInternalError);
const ScriptedReply kNoReaders = PcscFailure(platform::kScardENoReadersAvailable);
// Other ways readers report a card pulled in the middle of a command.
const ScriptedReply kReset = PcscFailure(platform::kScardWResetCard);
const ScriptedReply kNoSmartcard = PcscFailure(platform::kScardENoSmartcard);
const ScriptedReply kNotTransacted = PcscFailure(platform::kScardENotTransacted);
const ScriptedReply kEmptyAnswer{platform::kScardSuccess, {}, {}};
const std::string kRecord = "011C" + AsciiHex("123456789012345" "13101" "20351231");

class IdCardSlots : public ::testing::TestWithParam<SlotCase>, protected IdCardRig {};

TEST_P(IdCardSlots, RecordTheSlotCodeAndCloseTheSession) {
  const SlotCase& l_case = GetParam();
  Prepare(l_case.mode, l_case.password_type);
  for (const Step& l_step : l_case.steps) m_api_.Expect(l_step.command, l_step.reply);
  int l_ret = 0;
  switch (l_case.op) {
    case Op::kCheckPassword: l_ret = m_access_.CheckCardPassword(); break;
    case Op::kGetCertificate: l_ret = m_access_.GetCertificate(); break;
    case Op::kSign: l_ret = m_access_.ComputeSignature(); break;
    case Op::kPersonalInfo: l_ret = m_access_.ExtractPersonalInfo(); break;
    case Op::kCityCode: l_ret = m_access_.ExtractCityCode(); break;
    case Op::kCombinationCode: l_ret = m_access_.ExtractCombinationCode(); break;
    case Op::kChangePassword: l_ret = m_access_.ChangePassword(); break;
  }
  EXPECT_EQ(1, l_ret);
  EXPECT_EQ(l_case.code, m_error_.GetCode());
  EXPECT_EQ(l_case.detail1, m_error_.GetDetail1());
  EXPECT_EQ(l_case.detail2, m_error_.GetDetail2());
  EXPECT_TRUE(m_api_.Finished()) << m_api_.RemainingExpectations() << " expected commands left";
  EXPECT_EQ(0U, m_api_.OpenHandles());
  EXPECT_EQ(0U, m_api_.BadReleases());
  EXPECT_EQ(0, m_access_.ValidateCardSession());
}

std::string CaseName(const ::testing::TestParamInfo<SlotCase>& in_l_info) { return in_l_info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    CheckCardPassword, IdCardSlots,
    ::testing::Values(
        SlotCase{"LoginRemoved", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, kRemoved}}, L"EW140-1610", L"0x80100069", L""},
        SlotCase{"LoginPcsc", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, kInternal}}, L"EW144-1600", L"0x80100001", L""},
        SlotCase{"LoginWrong", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, Status(0x63, 0xC2)}}, L"EW140-1620", L"0x63", L"0xc2"},
        SlotCase{"LoginLocked", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, Status(0x63, 0xC0)}}, L"EW140-1600", L"0x63", L"0xc0"},
        SlotCase{"LoginBlocked", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, Status(0x69, 0x84)}}, L"EW140-1600", L"0x69", L"0x84"},
        SlotCase{"LoginStatus", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, Status(0x69, 0x82)}}, L"EW144-1601", L"0x69", L"0x82"},
        SlotCase{"LoginNoReader", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, kNoReaders}}, L"EW140-1610", L"0x8010002e", L""},
        SlotCase{"LoginResetCard", L"01", 0, Op::kCheckPassword, {{kVerifyLogin, kReset}}, L"EW140-1610", L"0x80100068", L""},
        SlotCase{"SignNoSmartcard", L"02", 0, Op::kCheckPassword, {{kVerifySign, kNoSmartcard}}, L"EW240-1610", L"0x8010000c", L""},
        SlotCase{"InfoNotTransacted", L"03", 0, Op::kCheckPassword, {{kVerifyInfo, kNotTransacted}}, L"EW340-2110", L"0x80100016", L""},
        SlotCase{"InfoEmptyAnswer", L"04", 0, Op::kCheckPassword, {{kVerifyInfo, kEmptyAnswer}}, L"EW340-2110", L"0x80100069", L""},
        SlotCase{"SignRemoved", L"02", 0, Op::kCheckPassword, {{kVerifySign, kRemoved}}, L"EW240-1610", L"0x80100069", L""},
        SlotCase{"SignPcsc", L"07", 0, Op::kCheckPassword, {{kVerifySign, kInternal}}, L"EW244-1600", L"0x80100001", L""},
        SlotCase{"SignWrong", L"02", 0, Op::kCheckPassword, {{kVerifySign, Status(0x63, 0xC2)}}, L"EW240-1620", L"0x63", L"0xc2"},
        SlotCase{"SignLocked", L"07", 0, Op::kCheckPassword, {{kVerifySign, Status(0x63, 0xC0)}}, L"EW240-1600", L"0x63", L"0xc0"},
        SlotCase{"SignStatus", L"02", 0, Op::kCheckPassword, {{kVerifySign, Status(0x6A, 0x88)}}, L"EW244-1601", L"0x6a", L"0x88"},
        SlotCase{"InfoRemoved", L"03", 0, Op::kCheckPassword, {{kVerifyInfo, kRemoved}}, L"EW340-2110", L"0x80100069", L""},
        SlotCase{"InfoPcsc", L"04", 0, Op::kCheckPassword, {{kVerifyInfo, kInternal}}, L"EW344-2100", L"0x80100001", L""},
        SlotCase{"InfoWrong", L"03", 0, Op::kCheckPassword, {{kVerifyInfo, Status(0x63, 0xC1)}}, L"EW340-2121", L"0x63", L"0xc1"},
        SlotCase{"InfoLocked", L"04", 0, Op::kCheckPassword, {{kVerifyInfo, Status(0x69, 0x84)}}, L"EW344-2101", L"0x69", L"0x84"},
        SlotCase{"InfoStatus", L"03", 0, Op::kCheckPassword, {{kVerifyInfo, Status(0x67, 0x00)}}, L"EW344-2102", L"0x67", L"0x00"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    GetCertificate, IdCardSlots,
    ::testing::Values(
        SlotCase{"LoginRemoved", L"01", 0, Op::kGetCertificate, {{"00B08A0004", kRemoved}}, L"EW140-1A10", L"0x80100069", L""},
        SlotCase{"LoginPcsc", L"01", 0, Op::kGetCertificate, {{"00B08A0004", kInternal}}, L"EW144-1A00", L"0x80100001", L""},
        SlotCase{"LoginStatus", L"01", 0, Op::kGetCertificate, {{"00B08A0004", Status(0x6A, 0x82)}}, L"EW144-1A01", L"0x6a", L"0x82"},
        // Slots the step has no code of take its status code.
        SlotCase{"LoginWrongTakesStatus", L"01", 0, Op::kGetCertificate, {{"00B08A0004", Status(0x63, 0xC1)}}, L"EW144-1A01", L"0x63", L"0xc1"},
        SlotCase{"LoginRemovedMidway", L"01", 0, Op::kGetCertificate,
                 {{"00B08A0004", Ok("308205D8")}, {"00B00000FA", Ok(std::vector<std::uint8_t>(250, 1))}, {"00B000FAFA", kRemoved}},
                 L"EW140-1A10", L"0x80100069", L""},
        SlotCase{"LoginLengthZero", L"01", 0, Op::kGetCertificate, {{"00B08A0004", Ok("30820000")}}, L"EW144-1A01", L"0x90", L"0x00"},
        SlotCase{"SignRemoved", L"02", 0, Op::kGetCertificate, {{"00B0810004", kRemoved}}, L"EW240-1A10", L"0x80100069", L""},
        SlotCase{"SignPcsc", L"07", 0, Op::kGetCertificate, {{"00B0810004", kInternal}}, L"EW244-1A00", L"0x80100001", L""},
        SlotCase{"SignStatus", L"02", 0, Op::kGetCertificate, {{"00B0810004", Status(0x69, 0x82)}}, L"EW244-1A01", L"0x69", L"0x82"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    ComputeSignature, IdCardSlots,
    ::testing::Values(
        SlotCase{"LoginRemoved", L"01", 0, Op::kSign, {{kSignLogin, kRemoved}}, L"EW140-1810", L"0x80100069", L""},
        SlotCase{"LoginPcsc", L"01", 0, Op::kSign, {{kSignLogin, kInternal}}, L"EW144-1800", L"0x80100001", L""},
        SlotCase{"LoginStatus", L"01", 0, Op::kSign, {{kSignLogin, Status(0x69, 0x82)}}, L"EW144-1801", L"0x69", L"0x82"},
        SlotCase{"SignRemoved", L"02", 0, Op::kSign, {{kSignSign, kRemoved}}, L"EW240-1810", L"0x80100069", L""},
        SlotCase{"SignNotTransacted", L"02", 0, Op::kSign, {{kSignSign, kNotTransacted}}, L"EW240-1810", L"0x80100016", L""},
        SlotCase{"SignPcsc", L"07", 0, Op::kSign, {{kSignSign, kInternal}}, L"EW244-1800", L"0x80100001", L""},
        SlotCase{"SignStatus", L"02", 0, Op::kSign, {{kSignSign, Status(0x69, 0x85)}}, L"EW244-1801", L"0x69", L"0x85"},
        SlotCase{"SignShortAnswer", L"02", 0, Op::kSign, {{kSignSign, Ok("0102")}}, L"EW244-1801", L"0x90", L"0x00"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    ExtractPersonalInfo, IdCardSlots,
    ::testing::Values(
        SlotCase{"NumberRemoved", L"03", 0, Op::kPersonalInfo, {{"00B081000F", kRemoved}}, L"EW340-2210", L"0x80100069", L""},
        SlotCase{"NumberResetCard", L"03", 0, Op::kPersonalInfo, {{"00B081000F", kReset}}, L"EW340-2210", L"0x80100068", L""},
        SlotCase{"ItemsEmptyAnswer", L"04", 0, Op::kPersonalInfo, {{"00B08200FA", kEmptyAnswer}}, L"EW340-2211", L"0x80100069", L""},
        SlotCase{"NumberPcsc", L"03", 0, Op::kPersonalInfo, {{"00B081000F", kInternal}}, L"EW344-2200", L"0x80100001", L""},
        SlotCase{"NumberStatus", L"03", 0, Op::kPersonalInfo, {{"00B081000F", Status(0x69, 0x82)}}, L"EW344-2201", L"0x69", L"0x82"},
        SlotCase{"ItemsRemoved", L"04", 0, Op::kPersonalInfo, {{"00B08200FA", kRemoved}}, L"EW340-2211", L"0x80100069", L""},
        SlotCase{"ItemsPcsc", L"04", 0, Op::kPersonalInfo, {{"00B08200FA", kInternal}}, L"EW344-2202", L"0x80100001", L""},
        SlotCase{"ItemsSecondReadStatus", L"04", 0, Op::kPersonalInfo,
                 {{"00B08200FA", Ok("FF20820190" + std::string(490, '0'))}, {"00B000FA...", Status(0x6B, 0x00)}},
                 L"EW344-2209", L"0x6b", L"0x00"},
        SlotCase{"ItemsAfterNumber", L"03", 0, Op::kPersonalInfo,
                 {{"00B081000F", Ok("FF100C" + AsciiHex("123456789018"))}, {"00B08200FA", Status(0x69, 0x82)}},
                 L"EW344-2208", L"0x69", L"0x82"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    ExtractCityCode, IdCardSlots,
    ::testing::Values(
        SlotCase{"SelectRemoved", L"01", 0, Op::kCityCode, {{kSelectCardInfo, kRemoved}}, L"EW144-3899", L"0x80100069", L""},
        SlotCase{"SelectPcsc", L"01", 0, Op::kCityCode, {{kSelectCardInfo, kInternal}}, L"EW144-3801", L"0x80100001", L""},
        SlotCase{"SelectStatus", L"01", 0, Op::kCityCode, {{kSelectCardInfo, Status(0x6A, 0x82)}}, L"EW144-3802", L"0x6a", L"0x82"},
        SlotCase{"ReadRemoved", L"01", 0, Op::kCityCode, {{kSelectCardInfo, Ok()}, {kReadRecord, kRemoved}}, L"EW144-3899", L"0x80100069", L""},
        SlotCase{"ReadPcsc", L"01", 0, Op::kCityCode, {{kSelectCardInfo, Ok()}, {kReadRecord, kInternal}}, L"EW144-3803", L"0x80100001", L""},
        SlotCase{"ReadStatus", L"01", 0, Op::kCityCode, {{kSelectCardInfo, Ok()}, {kReadRecord, Status(0x6A, 0x83)}}, L"EW144-3804", L"0x6a", L"0x83"},
        SlotCase{"ReadShort", L"01", 0, Op::kCityCode, {{kSelectCardInfo, Ok()}, {kReadRecord, Ok("011C3132")}}, L"EW144-3804", L"0x90", L"0x00"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    ExtractCombinationCode, IdCardSlots,
    ::testing::Values(
        SlotCase{"LoginSelectRemoved", L"01", 0, Op::kCombinationCode, {{kSelectCardInfo, kRemoved}}, L"EW144-3A99", L"0x80100069", L""},
        SlotCase{"LoginSelectPcsc", L"01", 0, Op::kCombinationCode, {{kSelectCardInfo, kInternal}}, L"EW144-3A01", L"0x80100001", L""},
        SlotCase{"LoginSelectStatus", L"01", 0, Op::kCombinationCode, {{kSelectCardInfo, Status(0x6A, 0x82)}}, L"EW144-3A02", L"0x6a", L"0x82"},
        SlotCase{"LoginReadPcsc", L"01", 0, Op::kCombinationCode, {{kSelectCardInfo, Ok()}, {kReadRecord, kInternal}}, L"EW144-3A03", L"0x80100001", L""},
        SlotCase{"LoginReadStatus", L"01", 0, Op::kCombinationCode, {{kSelectCardInfo, Ok()}, {kReadRecord, Status(0x6A, 0x83)}}, L"EW144-3A04", L"0x6a", L"0x83"},
        SlotCase{"InfoSelectRemoved", L"03", 0, Op::kCombinationCode, {{kSelectCardInfo, kRemoved}}, L"EW344-3A99", L"0x80100069", L""},
        SlotCase{"InfoSelectPcsc", L"04", 0, Op::kCombinationCode, {{kSelectCardInfo, kInternal}}, L"EW344-3A01", L"0x80100001", L""},
        SlotCase{"InfoSelectStatus", L"03", 0, Op::kCombinationCode, {{kSelectCardInfo, Status(0x6A, 0x82)}}, L"EW344-3A02", L"0x6a", L"0x82"},
        SlotCase{"InfoReadRemoved", L"04", 0, Op::kCombinationCode, {{kSelectCardInfo, Ok()}, {kReadRecord, kRemoved}}, L"EW344-3A99", L"0x80100069", L""},
        SlotCase{"InfoReadPcsc", L"03", 0, Op::kCombinationCode, {{kSelectCardInfo, Ok()}, {kReadRecord, kInternal}}, L"EW344-3A03", L"0x80100001", L""},
        SlotCase{"InfoReadStatus", L"04", 0, Op::kCombinationCode, {{kSelectCardInfo, Ok()}, {kReadRecord, Status(0x6A, 0x83)}}, L"EW344-3A04", L"0x6a", L"0x83"}),
    CaseName);

std::vector<SlotCase> ChangePasswordCases() {
  struct Sub {
    const char* name;
    int type;
    std::string select, verify, change;
    const wchar_t* codes[11];  // select r/p/s, verify r/p/w/l/s, change r/p/s
  };
  const Sub l_subs[] = {
      {"Login", kPasswordTypeLogin, kSelectJpki, kVerifyLogin, kChangeLogin,
       {L"EW640-3110", L"EW644-3100", L"EW644-3101", L"EW640-3111", L"EW644-3102", L"EW640-3140", L"EW644-3150",
        L"EW644-3103", L"EW640-3112", L"EW644-3104", L"EW644-3105"}},
      {"Info", kPasswordTypeInfo, kSelectCardSurface, kVerifyInfo, kChangeInfo,
       {L"EW640-3113", L"EW644-3106", L"EW644-3108", L"EW640-3114", L"EW644-3109", L"EW640-3141", L"EW644-3151",
        L"EW644-310A", L"EW640-3115", L"EW644-310C", L"EW644-310D"}},
      {"Sign", kPasswordTypeSign, kSelectJpki, kVerifySign, kChangeSign,
       {L"EW640-3116", L"EW644-310E", L"EW644-310F", L"EW640-3118", L"EW644-310G", L"EW640-3142", L"EW644-3152",
        L"EW644-310H", L"EW640-3119", L"EW644-310J", L"EW644-310K"}},
  };
  std::vector<SlotCase> l_cases;
  const auto l_add = [&](const Sub& in_l_sub, const char* in_l_what, std::vector<Step> in_l_steps,
                         const wchar_t* in_l_code, const wchar_t* in_l_d1, const wchar_t* in_l_d2) {
    l_cases.push_back(SlotCase{std::string(in_l_sub.name) + in_l_what, L"06", in_l_sub.type, Op::kChangePassword, std::move(in_l_steps),
                               in_l_code, in_l_d1, in_l_d2});
  };
  for (const Sub& l_sub : l_subs) {
    const Step l_select_ok{l_sub.select, Ok()};
    const Step l_verify_ok{l_sub.verify, Ok()};
    l_add(l_sub, "SelectRemoved", {{l_sub.select, kRemoved}}, l_sub.codes[0], L"0x80100069", L"");
    l_add(l_sub, "SelectPcsc", {{l_sub.select, kInternal}}, l_sub.codes[1], L"0x80100001", L"");
    l_add(l_sub, "SelectStatus", {{l_sub.select, Status(0x6A, 0x82)}}, l_sub.codes[2], L"0x6a", L"0x82");
    l_add(l_sub, "SelectNoReader", {{l_sub.select, kNoReaders}}, l_sub.codes[0], L"0x8010002e", L"");
    l_add(l_sub, "VerifyRemoved", {l_select_ok, {l_sub.verify, kRemoved}}, l_sub.codes[3], L"0x80100069", L"");
    l_add(l_sub, "VerifyPcsc", {l_select_ok, {l_sub.verify, kInternal}}, l_sub.codes[4], L"0x80100001", L"");
    l_add(l_sub, "VerifyWrong", {l_select_ok, {l_sub.verify, Status(0x63, 0xC2)}}, l_sub.codes[5], L"0x63", L"0xc2");
    l_add(l_sub, "VerifyLocked", {l_select_ok, {l_sub.verify, Status(0x63, 0xC0)}}, l_sub.codes[6], L"0x63", L"0xc0");
    l_add(l_sub, "VerifyStatus", {l_select_ok, {l_sub.verify, Status(0x69, 0x82)}}, l_sub.codes[7], L"0x69", L"0x82");
    l_add(l_sub, "VerifyNoReader", {l_select_ok, {l_sub.verify, kNoReaders}}, l_sub.codes[3], L"0x8010002e", L"");
    l_add(l_sub, "ChangeRemoved", {l_select_ok, l_verify_ok, {l_sub.change, kRemoved}}, l_sub.codes[8], L"0x80100069", L"");
    l_add(l_sub, "ChangePcsc", {l_select_ok, l_verify_ok, {l_sub.change, kInternal}}, l_sub.codes[9], L"0x80100001", L"");
    l_add(l_sub, "ChangeStatus", {l_select_ok, l_verify_ok, {l_sub.change, Status(0x69, 0x82)}}, l_sub.codes[10], L"0x69", L"0x82");
    l_add(l_sub, "ChangeLockedTakesStatus", {l_select_ok, l_verify_ok, {l_sub.change, Status(0x63, 0xC0)}}, l_sub.codes[10], L"0x63", L"0xc0");
  }
  return l_cases;
}

INSTANTIATE_TEST_SUITE_P(ChangePassword, IdCardSlots, ::testing::ValuesIn(ChangePasswordCases()), CaseName);

}  // namespace
}  // namespace tavc
