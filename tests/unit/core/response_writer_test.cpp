// The answer's exact text, its frame and the rules that choose its body.
#include <gtest/gtest.h>

#include "common/utf_conversion.h"
#include "host/flow/tavc_std_io.h"
#include "tests/unit/core/fake_std_streams.h"

namespace tavc {
namespace {

class ResponseWriterTest : public ::testing::Test {
 protected:
  // The JSON text of the frame written, after checking the frame around it.
  std::string Write(int in_l_end_alert = 0) {
    m_result_ = m_io_.WriteToStdOut(m_store_, m_data_, in_l_end_alert, m_error_);
    if (m_streams_.output.empty()) return std::string();
    EXPECT_EQ(1, m_streams_.writes);
    std::string l_json;
    EXPECT_TRUE(test::ReadAnswerFrame(m_streams_.output, l_json));
    return l_json;
  }

  test::FakeStdStreams m_streams_;
  TavcStdIo m_io_{m_streams_, nullptr};
  DataStore m_store_;
  ResultData m_data_;
  ErrorInfo m_error_;
  int m_result_ = -1;
};

TEST_F(ResponseWriterTest, LogInSuccessWithBothCodes) {
  m_store_.SetMode(L"01");
  m_store_.SetCombinationCodeFlag(1);
  m_store_.SetCityCodeFlag(1);
  m_data_.SetUuid(L"0123456789abcdef0123456789abcdef");
  m_data_.SetSignature(L"00ff10");
  m_data_.SetCertificate(L"3082");
  m_data_.SetCombinationCode(L"ab");
  m_data_.SetCityCode(L"cd");
  EXPECT_EQ(
      "{\r\n  \"mode\":\"01\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"0123456789abcdef0123456789abcdef\",\r\n"
      "  \"signature\":\"AP8Q\",\r\n  \"certificate\":\"MII=\",\r\n  \"combination_code\":\"ab\",\r\n"
      "  \"city_code\":\"cd\"\r\n}",
      Write());
  EXPECT_EQ(0, m_result_);
}

TEST_F(ResponseWriterTest, SigningModesAnswerAnArrayWithoutLineBreaks) {
  m_store_.SetMode(L"02");
  m_data_.SetSignature(std::wstring(512, L'a'));
  m_data_.SetCertificate(L"3082");
  const std::string l_text = Write();
  EXPECT_NE(std::string::npos, l_text.find("  \"signature\":[\"qqqq"));
  EXPECT_NE(std::string::npos, l_text.find("\"],\r\n  \"certificate\":\"MII=\"\r\n}"));
  const auto l_start = l_text.find("[\"") + 2;
  const std::string l_value = l_text.substr(l_start, l_text.find('"', l_start) - l_start);
  EXPECT_EQ(344U, l_value.size());
  EXPECT_EQ(std::string::npos, l_value.find_first_of("\r\n"));

  m_streams_.output.clear();
  m_streams_.writes = 0;
  m_data_.SetSignature(L"01");
  EXPECT_NE(std::string::npos, Write().find("=\",\"AQ==\"],"));
}

TEST_F(ResponseWriterTest, PersonalDataWithAndWithoutCombinationCode) {
  m_store_.SetMode(L"04");
  m_data_.SetName(L"6e");
  m_data_.SetSex(L"31");
  m_data_.SetAddress(L"61");
  m_data_.SetBirthday(L"32");
  m_data_.SetMynumber(L"39");
  const std::string l_plain = Write();
  EXPECT_EQ(
      "{\r\n  \"mode\":\"04\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"\",\r\n  \"name\":\"6e\",\r\n  \"sex\":\"31\",\r\n"
      "  \"address\":\"61\",\r\n  \"birthday\":\"32\"\r\n}",
      l_plain);

  m_streams_.output.clear();
  m_streams_.writes = 0;
  m_store_.SetMode(L"03");
  m_store_.SetCombinationCodeFlag(1);
  m_data_.SetCombinationCode(L"ff");
  EXPECT_EQ(
      "{\r\n  \"mode\":\"03\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"\",\r\n  \"mynumber\":\"39\",\r\n"
      "  \"name\":\"6e\",\r\n  \"sex\":\"31\",\r\n  \"address\":\"61\",\r\n  \"birthday\":\"32\",\r\n"
      "  \"combination_code\":\"ff\"\r\n}",
      Write());
}

TEST_F(ResponseWriterTest, NoDataAndNoErrorIsACancel) {
  m_store_.SetMode(L"03");
  EXPECT_EQ("{\r\n  \"mode\":\"03\",\r\n  \"result\":\"9\"\r\n}", Write());
  m_streams_.output.clear();
  m_streams_.writes = 0;
  m_store_.SetCancelType(1);
  EXPECT_EQ("{\r\n  \"mode\":\"03\",\r\n  \"result\":\"8\"\r\n}", Write());
}

TEST_F(ResponseWriterTest, EndAlertWinsOverErrorsExceptForPasswordChange) {
  m_store_.SetMode(L"02");
  m_error_.SetError(L"EW240-1510", L"", L"", L"");
  m_data_.SetSignature(L"zz");
  EXPECT_EQ("{\r\n  \"mode\":\"02\",\r\n  \"result\":\"9\"\r\n}", Write(1));

  m_streams_.output.clear();
  m_streams_.writes = 0;
  m_store_.SetMode(L"06");
  m_data_.SetUuid(L"u");
  m_data_.SetPasswordChanged();
  EXPECT_EQ("{\r\n  \"mode\":\"06\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"u\"\r\n}", Write(1));
}

// The user ends a password change run: what the answer says depends on what was changed.
TEST(ResponseWriterPasswordChangeTest, EndedRunAnswersWhatHappened) {
  struct Case {
    bool changed;
    const wchar_t* failure;
    const char* body;
  };
  const Case l_cases[] = {
      {false, L"", "  \"result\":\"9\"\r\n"},
      {false, L"EW640-4630", "  \"result\":\"1\",\r\n  \"errcode\":\"EW640-4630\"\r\n"},
      {true, L"", "  \"result\":\"0\",\r\n  \"uuid\":\"u\"\r\n"},
      // A change that happened stays reported even when a later one failed.
      {true, L"EW640-4630", "  \"result\":\"0\",\r\n  \"uuid\":\"u\"\r\n"},
  };
  for (const Case& l_case : l_cases) {
    test::FakeStdStreams l_streams;
    TavcStdIo l_io{l_streams, nullptr};
    DataStore l_store;
    ResultData l_data;
    ErrorInfo l_error;
    l_store.SetMode(L"06");
    l_data.SetUuid(L"u");
    if (l_case.changed) l_data.SetPasswordChanged();
    l_data.SetPasswordChangeError(l_case.failure);
    l_io.WriteToStdOut(l_store, l_data, 1, l_error);
    std::string l_json;
    ASSERT_TRUE(test::ReadAnswerFrame(l_streams.output, l_json));
    EXPECT_EQ(std::string("{\r\n  \"mode\":\"06\",\r\n") + l_case.body + "}", l_json);
  }
}

TEST_F(ResponseWriterTest, ErrorsAnswerTheirCode) {
  m_store_.SetMode(L"01");
  m_error_.SetError(L"EW140-1620", L"", L"", L"");
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW140-1620\"\r\n}", Write());
}

TEST_F(ResponseWriterTest, GpkiPasswordChangeReportsFailureAndSuccess) {
  m_store_.SetMode(L"13");
  m_data_.SetUuid(L"u");
  // Ended before the card changed anything (the version notice closed): no identifier.
  EXPECT_EQ("{\r\n  \"mode\":\"13\",\r\n  \"result\":\"9\"\r\n}", Write());

  m_streams_.output.clear();
  m_streams_.writes = 0;
  m_data_.SetPasswordChanged();
  EXPECT_EQ("{\r\n  \"mode\":\"13\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"u\"\r\n}", Write());

  m_streams_.output.clear();
  m_streams_.writes = 0;
  m_error_.SetError(L"EWD44-4650", L"", L"", L"");
  EXPECT_EQ("{\r\n  \"mode\":\"13\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EWD44-4650\"\r\n}", Write());
}

TEST_F(ResponseWriterTest, UnknownModeWritesNothingUnlessTheVersionIsTooOld) {
  m_store_.SetMode(L"99");
  EXPECT_EQ("", Write());
  EXPECT_EQ(1, m_result_);
  EXPECT_EQ(L"EW044-1300", m_error_.GetCode());

  m_error_.SetError(L"EW044-1230", L"", L"", L"");
  m_store_.SetUnavailableVersionFlg(1);
  EXPECT_EQ("{\r\n  \"mode\":\"99\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW044-1230\"\r\n}", Write());
}

TEST_F(ResponseWriterTest, ValuesAreEscapedSoTheAnswerStaysJson) {
  m_store_.SetMode(L"9\"\\\n");
  m_store_.SetUnavailableVersionFlg(1);
  m_error_.SetError(L"EW044-1230", L"", L"", L"");
  EXPECT_EQ(0U, Write().find("{\r\n  \"mode\":\"9\\\"\\\\\\n\",\r\n"));
}

TEST_F(ResponseWriterTest, UnconvertibleSignatureBecomesTheModesError) {
  for (const auto& [l_mode, l_code] : {std::pair{L"01", L"EW144-1301"}, std::pair{L"07", L"EW244-1301"},
                                       std::pair{L"12", L"EWC44-1301"}}) {
    test::FakeStdStreams l_streams;
    TavcStdIo l_io(l_streams, nullptr);
    DataStore l_store;
    ResultData l_data;
    ErrorInfo l_error;
    l_store.SetMode(l_mode);
    l_data.SetSignature(L"abc");
    l_data.SetCertificate(L"3082");
    EXPECT_EQ(1, l_io.WriteToStdOut(l_store, l_data, 0, l_error));
    EXPECT_EQ(l_code, l_error.GetCode());
    const std::string l_text(l_streams.output.begin() + 4, l_streams.output.end() - 1);
    EXPECT_NE(std::string::npos, l_text.find(Utf16ToUtf8(std::wstring(L"\"errcode\":\"") + l_code)));
  }
}

TEST_F(ResponseWriterTest, JapaneseTextIsWrittenAsUtf8AndCountedInBytes) {
  m_store_.SetMode(L"03");
  m_data_.SetName(L"\u5c71\u7530");
  const std::string l_text = Write();
  EXPECT_NE(std::string::npos, l_text.find("\"name\":\"\xE5\xB1\xB1\xE7\x94\xB0\""));
}

}  // namespace
}  // namespace tavc
