// The JSON scanner of the request and the key table it feeds.
#include <gtest/gtest.h>

#include "host/flow/tavc_std_io.h"
#include "tests/unit/core/fake_std_streams.h"

namespace tavc {
namespace {

class RequestScannerTest : public ::testing::Test {
 protected:
  int Parse(const std::wstring& in_l_text) {
    return m_io_.ParseStdIn(in_l_text.data(), in_l_text.size(), m_store_, m_error_);
  }

  test::FakeStdStreams m_streams_;
  TavcStdIo m_io_{m_streams_, [](std::wstring& out_l_v) { return out_l_v = L"1.0.0.0", true; }};
  DataStore m_store_;
  ErrorInfo m_error_;
};

TEST_F(RequestScannerTest, AcceptsEmptyWhitespaceAndEmptyObjects) {
  EXPECT_EQ(0, Parse(L""));
  EXPECT_EQ(0, Parse(L" \t\r\n"));
  EXPECT_EQ(0, Parse(L"{}"));
  EXPECT_EQ(0, Parse(L" { } \n"));
}

TEST_F(RequestScannerTest, RejectsWhatIsNotAnObjectOfStrings) {
  for (const wchar_t* l_text :
       {L"[", L"{", L"{\"mode\"", L"{\"mode\":1}", L"{\"mode\":true}", L"{\"mode\":null}", L"{\"a\":{}}",
        L"{\"mode\":\"01\",}", L"{,}", L"{\"a\":\"b\"}x", L"{\"a\" \"b\"}", L"{\"a\":[\"x\" \"y\"]}",
        L"{\"a\":[,]}", L"{\"a\":\"b\"", L"{\"a\":\"\\x\"}", L"{\"a\":\"\\u12G4\"}", L"{\"a\":\"\\u12"}) {
    DataStore l_store;
    EXPECT_EQ(1, m_io_.ParseStdIn(l_text, std::wcslen(l_text), l_store, m_error_)) << l_text;
  }
}

TEST_F(RequestScannerTest, ANulAfterTheObjectIsAFailure) {
  const std::wstring l_text(L"{}\0", 3);
  EXPECT_EQ(1, Parse(l_text));
}

TEST_F(RequestScannerTest, DecodesEscapesInValuesButNotInKeysOrElements) {
  ASSERT_EQ(0, Parse(L"{\"mode\":\"a\\u0041b\",\"service_id\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"}"));
  EXPECT_EQ(L"aAb", m_store_.GetModeText());
  EXPECT_EQ(L"\"\\/\b\f\n\r\t", m_store_.GetServiceId());

  DataStore l_store;
  // In a key the backslash is an ordinary character, so this key is not "mode".
  ASSERT_EQ(0, m_io_.ParseStdIn(L"{\"mo\\de\":\"01\"}", 14, l_store, m_error_));
  EXPECT_EQ(L"", l_store.GetModeText());
}

TEST_F(RequestScannerTest, AUnicodeEscapeGivesOneCodeUnit) {
  ASSERT_EQ(0, Parse(L"{\"language\":\"\\ud83d\\ude00\\u3042\"}"));
  const std::wstring l_expected = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00),
                                   static_cast<wchar_t>(0x3042)};
  EXPECT_EQ(l_expected, m_store_.GetLanguage());
}

TEST_F(RequestScannerTest, StoresEveryKeyAndRepeatedScalarsOverwrite) {
  ASSERT_EQ(0, Parse(L"{\"mode\":\"02\",\"latest_version\":\"5\",\"available_version\":\"1\","
                     L"\"service_id\":\"ab\",\"ca\":\"004\",\"file_path\":\"p\",\"file_password\":\"w\","
                     L"\"pw_change\":\"1\",\"language\":\"en\",\"latest_version\":\"6\",\"unknown\":\"x\"}"));
  EXPECT_EQ(L"02", m_store_.GetModeText());
  EXPECT_EQ(L"6", m_store_.GetLatestVersion());
  EXPECT_EQ(L"1", m_store_.GetAvailableVersion());
  EXPECT_EQ(L"ab", m_store_.GetServiceId());
  EXPECT_EQ(L"004", m_store_.GetCertificateType());
  EXPECT_EQ(L"p", m_store_.GetFilePath());
  EXPECT_EQ(L"w", m_store_.GetFilePassword());
  EXPECT_EQ(L"1", m_store_.GetPwChange());
  EXPECT_EQ(L"en", m_store_.GetLanguage());
}

TEST_F(RequestScannerTest, ModeDependentKeysNeedTheModeFirst) {
  ASSERT_EQ(0, Parse(L"{\"ca\":\"004\",\"digest\":\"AAE=\",\"city_code_flag\":\"true\",\"mode\":\"01\"}"));
  EXPECT_EQ(L"", m_store_.GetCertificateType());
  EXPECT_TRUE(m_store_.GetDigest().empty());
  EXPECT_EQ(0, m_store_.GetCityCodeFlag());

  DataStore l_store;
  const std::wstring l_text = L"{\"mode\":\"03\",\"ca\":\"004\",\"digest\":\"AAE=\",\"combination_code_flag\":\"true\"}";
  ASSERT_EQ(0, m_io_.ParseStdIn(l_text.data(), l_text.size(), l_store, m_error_));
  EXPECT_EQ(L"", l_store.GetCertificateType());
  EXPECT_TRUE(l_store.GetDigest().empty());
  EXPECT_EQ(1, l_store.GetCombinationCodeFlag());
}

TEST_F(RequestScannerTest, FlagsNeedExactlyTrue) {
  ASSERT_EQ(0, Parse(L"{\"mode\":\"01\",\"combination_code_flag\":\"TRUE\",\"city_code_flag\":\"true\"}"));
  EXPECT_EQ(0, m_store_.GetCombinationCodeFlag());
  EXPECT_EQ(1, m_store_.GetCityCodeFlag());
}

TEST_F(RequestScannerTest, DigestsAreAppendedAsLowerCaseHex) {
  ASSERT_EQ(0, Parse(L"{\"mode\":\"02\",\"digest\":[\"AAE=\", \"AgM=\"],\"digest\":\"q83v\"}"));
  EXPECT_EQ((std::vector<std::wstring>{L"0001", L"0203", L"abcdef"}), m_store_.GetDigest());
}

TEST_F(RequestScannerTest, ADigestThatIsNotBase64FailsWithTheModesCode) {
  for (const auto& [l_mode, l_code] : {std::pair{L"01", L"EW142-1200"}, std::pair{L"02", L"EW242-1200"},
                                       std::pair{L"07", L"EW242-1200"}, std::pair{L"11", L"EWC42-1200"},
                                       std::pair{L"12", L"EWC42-1200"}}) {
    DataStore l_store;
    ErrorInfo l_error;
    const std::wstring l_text = std::wstring(L"{\"mode\":\"") + l_mode + L"\",\"digest\":\"A*==\"}";
    EXPECT_EQ(1, m_io_.ParseStdIn(l_text.data(), l_text.size(), l_store, l_error));
    EXPECT_EQ(l_code, l_error.GetCode());
  }
}

TEST_F(RequestScannerTest, AGpkiModeResetsTheGpkiCertificateType) {
  m_store_.SetGpkiCertificateType(2);
  ASSERT_EQ(0, Parse(L"{\"mode\":\"12\"}"));
  EXPECT_EQ(0, m_store_.GetGpkiCertificateType());
}

}  // namespace
}  // namespace tavc
