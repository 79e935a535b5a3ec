// The wrapper's decisions on each message, and its own answers.
#include <gtest/gtest.h>

#include "wrapper/error_message_text.h"
#include "wrapper/frame_reader.h"
#include "wrapper/relay_rules.h"

namespace {

TEST(RelayRules, CertificateFileOnlyForFileAuthoritiesInSigningModes) {
  struct Case {
    std::wstring request;
    bool needs_file;
  } const l_cases[] = {
      {L"{\"mode\":\"02\",\"ca\":\"013\"}", true},  {L"{\"mode\":\"07\",\"ca\":\"020\"}", true},
      {L"{\"mode\":\"02\",\"ca\":\"004\"}", false}, {L"{\"mode\":\"02\",\"ca\":\"021\"}", false},
      {L"{\"mode\":\"01\",\"ca\":\"013\"}", false}, {L"{\"mode\":\"02\"}", false},
      {L"{\"mode\":\"02\",\"service_id\":\"ca\",\"digest\":\"013\"}", false},
  };
  for (const auto& l_case : l_cases) EXPECT_EQ(l_case.needs_file, NeedsCertificateFile(l_case.request));
}

// Only the wrapper's file dialog chooses a credential: a key of the page is
// found wherever it stands as a key, whatever its value, never inside a value.
TEST(RelayRules, CredentialKeysOfThePage) {
  struct Case {
    std::wstring request;
    bool carries;
  } const l_cases[] = {
      {L"{\"mode\":\"02\",\"digest\":\"AAE=\",\"file_path\":\"\\\\\\\\h\\\\s\\\\a.p12\",\"file_password\":\"x\"}",
       true},
      {L"{\"mode\":\"02\",\"ca\":\"013\",\"file_path\":\"C:\\\\a.p12\"}", true},
      {L"{\"mode\":\"01\",\"file_password\":\"x\"}", true},
      {L"{\"mode\":\"02\",\"file_path\" :[\"a\"]}", true},
      {L"{\"mode\":\"02\",\"file_path\":[]}", true},
      {L"{\"mode\":\"02\",\"ca\":\"013\",\"digest\":\"AAE=\"}", false},
      {L"{\"mode\":\"02\",\"service_id\":\"file_path\",\"digest\":\"file_password\"}", false},
      // TAV takes keys literally: an escaped name is another key.
      {L"{\"mode\":\"02\",\"file\\u005fpath\":\"a\"}", false},
  };
  for (const auto& l_case : l_cases) {
    EXPECT_EQ(l_case.carries, CarriesCredential(l_case.request)) << l_case.request.size();
  }
}

TEST(RelayRules, EditedRequestMustFitTheChildsFrame) {
  const std::wstring l_head = L"{\"mode\":\"02\",\"digest\":\"";
  std::wstring l_request = l_head + std::wstring(kMaxFrameSize - l_head.size() - 2, L'A') + L"\"}";
  EXPECT_TRUE(FitsChildFrame(l_request));
  // Counted in UTF-8 bytes: one kana is three.
  l_request[l_head.size()] = L'\x3042';
  EXPECT_FALSE(FitsChildFrame(l_request));
  EXPECT_FALSE(FitsChildFrame(L""));
}

TEST(RelayRules, OwnAnswersCarryTheRequestsMode) {
  EXPECT_EQ(L"{\"mode\":\"02\",\"result\":\"1\",\"errcode\":\"EW040-0200\"}",
            OwnAnswer(L"{\"mode\":\"02\",\"digest\":\"AAE=\"}", L"1", wrapper_codes::kSecondInstance));
  EXPECT_EQ(L"{\"mode\":\"01\",\"result\":\"9\"}", OwnAnswer(L"{\"digest\":\"AAE=\"}", L"9", L""));
}

// The state changes of the relay on a message from TAV.
TEST(RelayRules, ChildAnswerTable) {
  struct Case {
    bool transparent;
    std::wstring answer;
    ChildAnswerAction action;
  } const l_cases[] = {
      {true, L"{\"mode\":\"02\",\"result\":\"1\",\"errcode\":\"EW242-1200\"}", ChildAnswerAction::kRelayAndEnd},
      {true, L"not json", ChildAnswerAction::kRelayAndEnd},
      {false, L"{\"mode\":\"02\",\"result\":\"0\"}", ChildAnswerAction::kRelayAndEnd},
      {false, L"{\"mode\":\"02\",\"result\":\"8\"}", ChildAnswerAction::kRelayAndEnd},
      {false, L"{\"mode\":\"02\",\"result\":\"9\"}", ChildAnswerAction::kRelayAndEnd},
      {false, L"{\"mode\":\"02\",\"result\":\"1\",\"errcode\":\"EW244-0101\"}", ChildAnswerAction::kRetryWithFile},
      {false, L"{\"mode\":\"02\",\"result\":\"2\"}", ChildAnswerAction::kIgnore},
      {false, L"{\"mode\":\"02\"}", ChildAnswerAction::kIgnore},
  };
  for (const auto& l_case : l_cases) {
    EXPECT_EQ(l_case.action, DecideOnChildAnswer(l_case.transparent, l_case.answer)) << l_case.answer.size();
  }
}

// The state changes of the relay on a later message from the browser.
TEST(RelayRules, ParentMessageTable) {
  struct Case {
    std::wstring message;
    bool child_running;
    ParentMessageAction action;
  } const l_cases[] = {
      {L"{\"mode\":\"05\"}", true, ParentMessageAction::kForwardCancelAndEnd},
      {L"{\"mode\" : \"05\"}", true, ParentMessageAction::kForwardCancelAndEnd},
      {L"{\"mode\":\"05\"}", false, ParentMessageAction::kEnd},
      {L"{\"mode\":\"01\"}", true, ParentMessageAction::kIgnore},
      {L"{\"service_id\":\"05\"}", true, ParentMessageAction::kIgnore},
      {L"", true, ParentMessageAction::kIgnore},
  };
  for (const auto& l_case : l_cases) {
    EXPECT_EQ(l_case.action, DecideOnParentMessage(l_case.message, l_case.child_running)) << l_case.message.size();
  }
}

TEST(RelayRules, FileRequestEscapesPathAndPasswordAndDropsTheAuthority) {
  const std::wstring l_request = L"{\"mode\":\"02\",\"ca\":\"013\",\"digest\":\"AAE=\"}";
  EXPECT_EQ(L"{\"mode\":\"02\",\"digest\":\"AAE=\",\"file_path\":\"C:\\\\certs\\\\a.p12\","
            L"\"file_password\":\"p\\\"w\\\\\\n\"}",
            RequestWithFile(l_request, L"C:\\certs\\a.p12", L"p\"w\\\n"));
  // A password that tries to add its own member stays one value.
  EXPECT_EQ(L"{\"mode\":\"02\",\"digest\":\"AAE=\",\"file_path\":\"a\",\"file_password\":\"x\\\",\\\"ca\\\":\\\"004\"}",
            RequestWithFile(l_request, L"a", L"x\",\"ca\":\"004"));
  // Whatever the page named itself goes, every occurrence of it.
  EXPECT_EQ(L"{\"mode\":\"02\",\"digest\":\"AAE=\",\"file_path\":\"b\",\"file_password\":\"q\"}",
            RequestWithFile(L"{\"mode\":\"02\",\"file_path\":\"\\\\\\\\h\\\\s\",\"ca\":\"013\",\"file_password\":\"p\","
                            L"\"digest\":\"AAE=\",\"file_path\":\"c\"}",
                            L"b", L"q"));
}

}  // namespace

namespace {

TEST(ErrorBox, CodesGetTheirMessageAndOtherTextsStandAlone) {
  EXPECT_EQ(L"既にアプリケーションが起動しています。\nエラーコード：EW040-0200", ErrorBoxText(L"EW040-0200"));
  EXPECT_EQ(0U, ErrorBoxText(L"EW054-0001").find(L"Tavoriの起動に失敗しました。"));
  EXPECT_NE(std::wstring::npos, ErrorBoxText(L"EW054-0001").find(L"\nエラーコード：EW054-0001"));
  EXPECT_EQ(L"ファイル名及びパスワードを設定してください。", ErrorBoxText(L"ファイル名及びパスワードを設定してください。"));
}

}  // namespace
