// The installation UUID's two copies: which one wins, which one is rewritten,
// which registry values count as absent, and which failures are tolerated.
#include <gtest/gtest.h>

#include "host/flow/start_up_check.h"
#include "tests/unit/screens/fake_user_registry.h"

namespace tavc {
namespace {

const std::wstring kNormalKey = L"Software\\TAV";
const std::wstring kLowKey =
    L"Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER\\"
    L"S-1-5-21-1004336348-1177238915-682003330-1001\\Software\\TAV";
const std::wstring kUuid1 = L"00112233445566778899AABBCCDDEEFF";
const std::wstring kUuid2 = L"FFEEDDCCBBAA99887766554433221100";
const std::wstring kNewUuid = L"0123ABCD456789EF00010A107F80C3FF";

class UuidCopies : public ::testing::Test {
 protected:
  void SetUp() override { m_store_.SetMode(L"01"); }

  void Put(const std::wstring& in_l_key, const platform::RegistryValue& in_l_value) {
    m_registry_.values[{in_l_key, L"UUID"}] = in_l_value;
  }
  void Put(const std::wstring& in_l_key, const std::wstring& in_l_text) {
    Put(in_l_key, test::FakeUserRegistry::Text(in_l_text));
  }
  platform::RegistryValue Stored(const std::wstring& in_l_key) { return m_registry_.values[{in_l_key, L"UUID"}]; }

  int GetUuid() { return m_check_.GetUuid(&m_record_, &m_result_, &m_store_); }

  test::FakeUserRegistry m_registry_;
  StartUpCheck m_check_{m_registry_};
  ErrorInfo m_record_;
  ResultData m_result_;
  DataStore m_store_;
};

TEST_F(UuidCopies, FirstRunWritesANewUuidToBoth) {
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(kNewUuid, m_result_.GetUuid());
  // 32 characters, no terminator: 64 bytes of text.
  const platform::RegistryValue l_expected = test::FakeUserRegistry::Text(kNewUuid);
  EXPECT_EQ(64U, l_expected.data.size());
  EXPECT_EQ(l_expected.data, Stored(kNormalKey).data);
  EXPECT_EQ(platform::kRegistryText, Stored(kNormalKey).type);
  EXPECT_EQ(l_expected.data, Stored(kLowKey).data);
  EXPECT_EQ(L"", m_record_.GetCode());
}

TEST_F(UuidCopies, EitherCopyRestoresTheOther) {
  Put(kNormalKey, kUuid1);
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(kUuid1, m_result_.GetUuid());
  EXPECT_EQ(test::FakeUserRegistry::Text(kUuid1).data, Stored(kLowKey).data);
  EXPECT_EQ(std::vector<std::wstring>{kLowKey}, m_registry_.writes);

  m_registry_.values.clear();
  m_registry_.writes.clear();
  Put(kLowKey, kUuid2);
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(kUuid2, m_result_.GetUuid());
  EXPECT_EQ(test::FakeUserRegistry::Text(kUuid2).data, Stored(kNormalKey).data);
  EXPECT_EQ(std::vector<std::wstring>{kNormalKey}, m_registry_.writes);
  EXPECT_EQ(0, m_registry_.guids_created);
}

TEST_F(UuidCopies, NormalCopyWinsOverADifferentLowCopy) {
  Put(kNormalKey, kUuid1);
  Put(kLowKey, kUuid2);
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(kUuid1, m_result_.GetUuid());
  EXPECT_EQ(std::vector<std::wstring>{kLowKey}, m_registry_.writes);
  EXPECT_EQ(test::FakeUserRegistry::Text(kUuid1).data, Stored(kLowKey).data);
}

TEST_F(UuidCopies, EqualCopiesAreLeftAlone) {
  const std::wstring l_lower = L"00112233445566778899aabbccddeeff";
  Put(kNormalKey, l_lower);
  Put(kLowKey, l_lower);
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(l_lower, m_result_.GetUuid());
  EXPECT_TRUE(m_registry_.writes.empty());
}

TEST_F(UuidCopies, MalformedValuesCountAsAbsent) {
  platform::RegistryValue l_binary = test::FakeUserRegistry::Text(kUuid1);
  l_binary.type = platform::kRegistryBinary;
  platform::RegistryValue l_odd = test::FakeUserRegistry::Text(kUuid1);
  l_odd.data.push_back('A');
  const struct {
    const char* what;
    platform::RegistryValue value;
  } l_cases[] = {
      {"31 characters", test::FakeUserRegistry::Text(kUuid1.substr(0, 31))},
      {"33 characters", test::FakeUserRegistry::Text(kUuid1 + L"0")},
      {"not hexadecimal", test::FakeUserRegistry::Text(L"00112233445566778899AABBCCDDEEFG")},
      {"a NUL inside", test::FakeUserRegistry::Text(kUuid1.substr(0, 16) + std::wstring(1, L'\0') + kUuid1.substr(16))},
      {"larger than the read", test::FakeUserRegistry::Text(kUuid1 + std::wstring(1, L'\0') + std::wstring(600, L'0'))},
      {"not text", l_binary},
      {"odd byte count", l_odd},
      {"empty", platform::RegistryValue{platform::kRegistryText, {}}},
  };
  for (const auto& l_case : l_cases) {
    SCOPED_TRACE(l_case.what);
    m_registry_.values.clear();
    m_registry_.writes.clear();
    Put(kNormalKey, l_case.value);
    Put(kLowKey, kUuid2);
    ASSERT_EQ(0, GetUuid());
    EXPECT_EQ(kUuid2, m_result_.GetUuid());
    EXPECT_EQ(std::vector<std::wstring>{kNormalKey}, m_registry_.writes);
  }
}

TEST_F(UuidCopies, TerminatedValueIsAccepted) {
  // A value written with its terminating NUL, as other tools write text.
  Put(kNormalKey, kUuid1 + std::wstring(1, L'\0'));
  Put(kLowKey, kUuid1);
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(kUuid1, m_result_.GetUuid());
  EXPECT_TRUE(m_registry_.writes.empty());
}

TEST_F(UuidCopies, AccessDeniedIsToleratedOnTheNormalCopyOnly) {
  Put(kLowKey, kUuid2);
  m_registry_.write_errors[kNormalKey] = platform::kRegistryAccessDenied;
  ASSERT_EQ(0, GetUuid());
  EXPECT_EQ(kUuid2, m_result_.GetUuid());

  m_registry_.values.clear();
  m_registry_.write_errors.clear();
  Put(kNormalKey, kUuid1);
  m_registry_.write_errors[kLowKey] = platform::kRegistryAccessDenied;
  EXPECT_EQ(1, GetUuid());
  EXPECT_EQ(L"EW144-0300", m_record_.GetCode());
}

TEST_F(UuidCopies, OtherWriteFailuresOfTheNormalCopyFail) {
  Put(kLowKey, kUuid2);
  m_registry_.write_errors[kNormalKey] = 1450;
  EXPECT_EQ(1, GetUuid());
  EXPECT_EQ(L"EW144-0300", m_record_.GetCode());
  EXPECT_EQ(L"", m_result_.GetUuid());
}

TEST_F(UuidCopies, NoGuidNoUuid) {
  m_registry_.guid_available = false;
  EXPECT_EQ(1, GetUuid());
  EXPECT_EQ(L"EW144-0300", m_record_.GetCode());
  EXPECT_TRUE(m_registry_.writes.empty());
}

TEST_F(UuidCopies, UnknownUserLeavesTheLowCopyUnwritable) {
  Put(kNormalKey, kUuid1);
  m_registry_.sid_available = false;
  EXPECT_EQ(1, GetUuid());
  EXPECT_EQ(L"EW144-0300", m_record_.GetCode());
}

TEST_F(UuidCopies, FailureCodeByMode) {
  m_registry_.guid_available = false;
  const std::pair<const wchar_t*, const wchar_t*> l_cases[] = {
      {L"01", L"EW144-0300"}, {L"02", L"EW244-0300"}, {L"07", L"EW244-0300"}, {L"03", L"EW344-0300"},
      {L"04", L"EW344-0300"}, {L"06", L"EW644-0300"}, {L"11", L"EWC44-0300"}, {L"12", L"EWC44-0300"},
      {L"13", L"EWD44-0300"}, {L"05", L""}};
  for (const auto& [l_mode, l_code] : l_cases) {
    m_store_.SetMode(l_mode);
    m_record_ = ErrorInfo();
    EXPECT_EQ(1, GetUuid()) << l_mode;
    EXPECT_EQ(std::wstring(l_code), m_record_.GetCode()) << l_mode;
  }
}

TEST_F(UuidCopies, MissingObjects) {
  EXPECT_EQ(1, m_check_.GetUuid(&m_record_, nullptr, &m_store_));
  EXPECT_EQ(L"EW044-0399", m_record_.GetCode());
  EXPECT_EQ(L"0x80050201", m_record_.GetDetail1());
  EXPECT_EQ(1, m_check_.GetUuid(&m_record_, &m_result_, nullptr));
  EXPECT_EQ(L"0x80050202", m_record_.GetDetail1());
}

TEST_F(UuidCopies, RegistryReadLeavesTheCallersTextOnFailure) {
  Put(kNormalKey, kUuid1.substr(1));
  std::wstring l_uuid = L"unchanged";
  EXPECT_EQ(1, m_check_.GetRegistryUuid(kNormalKey, StartUpCheck::kRegistryReadCharacters, l_uuid));
  EXPECT_EQ(L"unchanged", l_uuid);
  Put(kNormalKey, kUuid1);
  // A read limited to fewer characters than the value holds fails.
  EXPECT_EQ(1, m_check_.GetRegistryUuid(kNormalKey, 31, l_uuid));
  EXPECT_EQ(0, m_check_.GetRegistryUuid(kNormalKey, 32, l_uuid));
  EXPECT_EQ(kUuid1, l_uuid);
}

TEST_F(UuidCopies, RegistryWriteGivesTheRegistrysError) {
  m_registry_.write_errors[kNormalKey] = 1021;
  EXPECT_EQ(1021U, m_check_.SetRegistryUuid(kNormalKey, 32, kUuid1));
  EXPECT_EQ(0U, m_check_.SetRegistryUuid(kLowKey, 4, kUuid1));
  EXPECT_EQ(test::FakeUserRegistry::Text(L"0011").data, Stored(kLowKey).data);
}

}  // namespace
}  // namespace tavc
