// What the stand-in screens post and store: the same as the screens they stand
// for, so that whole runs through TAV.exe take the paths the real screens take.
#include "host/screens/placeholder_action.h"

#include <gtest/gtest.h>

#include "host/core/message_poster.h"
#include "host/screens/screen_titles.h"

namespace tavc {
namespace {

class PlaceholderActionTest : public ::testing::Test {
 protected:
  ScreenRequest Request(ScreenKind in_l_kind) {
    ScreenRequest l_request;
    l_request.kind = in_l_kind;
    l_request.error_info = &m_error_;
    l_request.data_store = &m_store_;
    return l_request;
  }
  PlaceholderOutcome Ok(ScreenKind in_l_kind, const std::wstring& in_l_first = L"",
                        const std::wstring& in_l_second = L"") {
    PlaceholderInput l_input;
    l_input.first = in_l_first;
    l_input.second = in_l_second;
    return PlaceholderOnOk(Request(in_l_kind), l_input);
  }
  PlaceholderOutcome Close(ScreenKind in_l_kind) { return PlaceholderOnClose(Request(in_l_kind)); }

  static void ExpectPost(const PlaceholderOutcome& in_l_outcome, std::uint32_t in_l_message,
                         std::uintptr_t in_l_wparam = 0) {
    EXPECT_EQ(PlaceholderStep::kPost, in_l_outcome.step);
    EXPECT_EQ(in_l_message, in_l_outcome.message);
    EXPECT_EQ(in_l_wparam, in_l_outcome.wparam);
  }

  ErrorInfo m_error_;
  DataStore m_store_;
};

TEST_F(PlaceholderActionTest, PasswordsGoToTheStoreBeforeTheOperationRuns) {
  ExpectPost(Ok(ScreenKind::kPasswordChange, L"1234", L"5678"), WM_APP03);
  EXPECT_EQ(L"1234", m_store_.GetPassword());
  EXPECT_EQ(L"5678", m_store_.GetNewPassword());
}

TEST_F(PlaceholderActionTest, SelectionOpensTheChangeScreenOnlyForAKnownType) {
  m_error_.SetError(L"EW644-3100", L"", L"", L"");
  EXPECT_EQ(PlaceholderStep::kNothing, Ok(ScreenKind::kPasswordSelect, L"4").step);
  EXPECT_EQ(PlaceholderStep::kNothing, Ok(ScreenKind::kPasswordSelect, L"").step);
  EXPECT_EQ(0, m_store_.GetPasswordType());
  EXPECT_EQ(L"EW644-3100", m_error_.GetCode());

  const PlaceholderOutcome l_outcome = Ok(ScreenKind::kPasswordSelect, L"3");
  EXPECT_EQ(PlaceholderStep::kOpenScreen, l_outcome.step);
  EXPECT_EQ(ScreenKind::kPasswordChange, l_outcome.next);
  EXPECT_EQ(3, m_store_.GetPasswordType());
  EXPECT_EQ(L"", m_error_.GetCode());
}

TEST_F(PlaceholderActionTest, ChangeResultContinuesByMode) {
  m_store_.SetMode(L"06");
  ExpectPost(Ok(ScreenKind::kPasswordChangeResult), WM_APP01);
  m_store_.SetMode(L"13");
  ExpectPost(Ok(ScreenKind::kPasswordChangeResult), WM_APP05, 0);
}

TEST_F(PlaceholderActionTest, ChangeResultForgetsThePasswordsAsItOpens) {
  m_store_.SetPasswordType(2);
  m_store_.SetPassword(L"1234");
  m_store_.SetNewPassword(L"5678");
  PlaceholderOnOpen(Request(ScreenKind::kPasswordEntry));
  EXPECT_EQ(L"1234", m_store_.GetPassword());
  PlaceholderOnOpen(Request(ScreenKind::kPasswordChangeResult));
  EXPECT_EQ(0, m_store_.GetPasswordType());
  EXPECT_EQ(L"", m_store_.GetPassword());
  EXPECT_EQ(L"", m_store_.GetNewPassword());
}

TEST_F(PlaceholderActionTest, CertificateChoiceSendsConfirmationAndSkipThroughCryptoApi) {
  ExpectPost(Ok(ScreenKind::kCertificateConfirm), WM_APP03);
  ExpectPost(Ok(ScreenKind::kCertificateConfirmGpkiAp), WM_APP03);
  ExpectPost(Ok(ScreenKind::kVersionInfo), WM_APP01);
  m_store_.SetFilePath(L"C:\\cert.p12");
  ExpectPost(Ok(ScreenKind::kCertificateConfirm), WM_APP07);
  ExpectPost(Ok(ScreenKind::kVersionInfo), WM_APP07);
  m_store_.SetFilePath(L"");
  m_store_.SetCertificateType(L"019");
  ExpectPost(Ok(ScreenKind::kCertificateConfirm), WM_APP07);
  // The GPKI confirmation always goes back to the card.
  ExpectPost(Ok(ScreenKind::kCertificateConfirmGpkiAp), WM_APP03);
}

TEST_F(PlaceholderActionTest, MustUpdateNoticeCannotBeSkipped) {
  for (const wchar_t* l_code : {L"EW044-1230", L"EW144-0431", L"EW644-0431"}) {
    m_error_.SetError(l_code, L"", L"", L"");
    EXPECT_EQ(PlaceholderStep::kNothing, Ok(ScreenKind::kVersionInfo).step) << l_code;
    ExpectPost(Close(ScreenKind::kVersionInfo), WM_APP04, 0);
  }
  m_error_.SetError(L"EW144-0430", L"", L"", L"");
  ExpectPost(Ok(ScreenKind::kVersionInfo), WM_APP01);
}

TEST_F(PlaceholderActionTest, ClosingAsksToEndExceptWhereTheScreenEndsOrGoesBack) {
  for (const ScreenKind l_kind :
       {ScreenKind::kPasswordSelect, ScreenKind::kPasswordChangeResult, ScreenKind::kCertificateConfirm, ScreenKind::kCertificateConfirmGpkiAp}) {
    EXPECT_EQ(PlaceholderStep::kEndAlert, Close(l_kind).step) << ScreenClassName(l_kind);
  }
  m_store_.SetMode(L"06");
  EXPECT_EQ(PlaceholderStep::kOpenScreen, Close(ScreenKind::kPasswordChange).step);
  EXPECT_EQ(ScreenKind::kPasswordSelect, Close(ScreenKind::kPasswordChange).next);
  m_store_.SetMode(L"13");
  EXPECT_EQ(PlaceholderStep::kEndAlert, Close(ScreenKind::kPasswordChange).step);
}

TEST_F(PlaceholderActionTest, WithoutRecordsNothingHappens) {
  ScreenRequest l_request;
  l_request.kind = ScreenKind::kPasswordChange;
  PlaceholderInput l_input;
  l_input.first = L"1234";
  EXPECT_EQ(PlaceholderStep::kNothing, PlaceholderOnOk(l_request, l_input).step);
  EXPECT_EQ(PlaceholderStep::kNothing, PlaceholderOnClose(l_request).step);
}

TEST(ScreenTitles, PasswordScreensNameTheOperation) {
  EXPECT_EQ(3003U, ScreenTitleId(ScreenKind::kPasswordEntry, L"01"));
  EXPECT_EQ(3004U, ScreenTitleId(ScreenKind::kPasswordEntry, L"07"));
  EXPECT_EQ(3005U, ScreenTitleId(ScreenKind::kPasswordEntry, L"04"));
  EXPECT_EQ(3014U, ScreenTitleId(ScreenKind::kPasswordEntry, L"12"));
  EXPECT_EQ(3011U, ScreenTitleId(ScreenKind::kPasswordChange, L"06"));
  EXPECT_EQ(3016U, ScreenTitleId(ScreenKind::kPasswordChange, L"13"));
  EXPECT_EQ(3007U, ScreenTitleId(ScreenKind::kError, L"01"));
}

}  // namespace
}  // namespace tavc
