// Log-in requests from the request bytes to the answer bytes.
#include "tests/unit/flow/flow_fixture.h"

namespace tavc::test {
namespace {

TEST_F(FlowTest, LogInAnswersSignatureAndCertificate) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\"")).SetUser(TypingUser(L"1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_EQ(0U, l_answer.find("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"signature\":\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"certificate\":\"MII")) << l_answer;
  EXPECT_FALSE(Has(l_answer, "combination_code")) << l_answer;
  EXPECT_EQ((std::vector<ScreenKind>{ScreenKind::kProcessing, ScreenKind::kProcessing, ScreenKind::kPasswordEntry,
                                     ScreenKind::kProcessing}),
            m_run_->ShownKinds());
  EXPECT_EQ(L"", m_run_->Store().GetPassword()) << "the PIN is forgotten once the card checked it";
}

TEST_F(FlowTest, AScreenThatCannotBeCreatedEndsTheRunWithItsReason) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\"")).SetUser(TypingUser(L"1234"));
  m_run_->SetUncreatable(ScreenKind::kPasswordEntry);
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW044-0199\"\r\n}", RunToEnd());
}

TEST_F(FlowTest, LogInWithBothCodes) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin +
                               "\",\"combination_code_flag\":\"true\",\"city_code_flag\":\"true\""))
      .SetUser(TypingUser(L"1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"combination_code\":\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"city_code\":\"")) << l_answer;
}

TEST_F(FlowTest, WrongPinThenTheRightOne) {
  Readers({{CardKind::kMyNumber}});
  int l_attempts = 0;
  NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\""))
      .SetUser([&l_attempts](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
        if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) io_l_run.EnterPassword(l_attempts++ == 0 ? L"9999" : L"1234");
      });
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  ASSERT_EQ(2, l_attempts);
  const auto& l_shown = m_run_->Shown();
  const auto l_again = std::find_if(l_shown.begin() + 3, l_shown.end(),
                                    [](const ShownScreen& in_l_s) { return in_l_s.kind == ScreenKind::kPasswordEntry; });
  ASSERT_NE(l_shown.end(), l_again);
  EXPECT_EQ(L"EW140-1620", l_again->code);
  EXPECT_NE(std::wstring::npos, l_again->message.find(L"EW140-1620"));
}

// A page may send its next request as soon as it has the answer.
TEST_F(FlowTest, NextInstanceMayStartOnceTheAnswerIsOut) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\"")).SetUser(TypingUser(L"1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_EQ(static_cast<long long>(l_answer.size()) + 5, m_run_->InstanceReleasedAfter());
}

// A page asking for English gets it on the log-in password screen only.
TEST_F(FlowTest, EnglishOnlyOnTheLogInPasswordScreen) {
  for (const char* l_mode : {"01", "03"}) {
    Readers({{CardKind::kMyNumber}});
    int l_attempts = 0;
    NewRun(RequestJson(l_mode, std::string(",\"language\":\"en\",\"digest\":\"") + kDigestLogin + "\""))
        .SetUser([&l_attempts](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
          if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) io_l_run.EnterPassword(l_attempts++ == 0 ? L"9999" : L"1234");
        });
    const std::string l_answer = RunToEnd();
    EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
    const auto& l_shown = m_run_->Shown();
    const auto l_again = std::find_if(l_shown.begin() + 3, l_shown.end(),
                                      [](const ShownScreen& in_l_s) { return in_l_s.kind == ScreenKind::kPasswordEntry; });
    ASSERT_NE(l_shown.end(), l_again) << l_mode;
    EXPECT_EQ(std::string(l_mode) == "01", l_again->message.find(L"Please check your Password/PIN") == 0)
        << l_mode << ": " << std::string(l_again->message.begin(), l_again->message.end());
  }
}

TEST_F(FlowTest, NoCardThenACard) {
  Readers({{CardKind::kEmpty}});
  bool l_inserted = false;
  NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\""))
      .SetUser([this, &l_inserted](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
        if (io_l_screen.Kind() == ScreenKind::kCardRequest && !l_inserted) {
          l_inserted = true;
          m_rig_.Readers().InsertCard(m_rig_.Readers().ReaderNames().front(), cardsim::NewMyNumberCard(), {});
          io_l_run.Post(WM_APP01);
        }
        if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) io_l_run.EnterPassword(L"1234");
      });
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(l_inserted);
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  const auto l_kinds = m_run_->ShownKinds();
  EXPECT_NE(l_kinds.end(), std::find(l_kinds.begin(), l_kinds.end(), ScreenKind::kCardRequest));
  EXPECT_EQ(L"", m_run_->Shown()[2].code) << "the first card request shows no error";
}

TEST_F(FlowTest, ASecondInstanceEndsOnTheErrorScreen) {
  Readers({{CardKind::kMyNumber}});
  HeadlessRun& l_run = NewRun(RequestJson("01", std::string(",\"digest\":\"") + kDigestLogin + "\""));
  l_run.SetSecondInstance(true);
  // The refusal is out before its screen shows: the page is answered even while
  // the user leaves the screen open.
  bool l_answered_first = false;
  l_run.SetUser([&l_answered_first](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    l_answered_first = io_l_run.Answered();
    io_l_screen.OnClose();
  });
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW040-0200\"\r\n}", RunToEnd());
  EXPECT_TRUE(l_answered_first);
  EXPECT_EQ(std::vector<ScreenKind>{ScreenKind::kError}, m_run_->ShownKinds());
}

// The installation identifier goes to no page before the card did what it asked.
TEST_F(FlowTest, ClosingTheVersionNoticeAnswersNineWithoutTheIdentifierInEveryMode) {
  Readers({{CardKind::kMyNumber}});
  for (const std::string l_mode : {"01", "02", "03", "04", "06", "07", "11", "12", "13"}) {
    const bool l_signs = l_mode == "01" || l_mode == "02" || l_mode == "07" || l_mode == "11" || l_mode == "12";
    NewRun("{\"mode\":\"" + l_mode + "\",\"latest_version\":\"9\",\"available_version\":\"1\"" +
           (l_signs ? std::string(",\"digest\":\"") + kDigestLogin + "\"" : std::string()) + "}")
        .SetUser([](HeadlessRun&, HeadlessScreen& io_l_screen) { io_l_screen.OnClose(); });
    EXPECT_EQ("{\r\n  \"mode\":\"" + l_mode + "\",\r\n  \"result\":\"9\"\r\n}", RunToEnd());
    EXPECT_EQ(std::vector<ScreenKind>{ScreenKind::kVersionInfo}, m_run_->ShownKinds()) << l_mode;
  }
}

TEST_F(FlowTest, OwnVersionTooOldShowsTheNoticeAndTouchesNoCard) {
  Readers({{CardKind::kMyNumber}});
  HeadlessRun& l_run = NewRun("{\"mode\":\"03\",\"latest_version\":\"3\",\"available_version\":\"2\"}");
  l_run.SetUser([](HeadlessRun&, HeadlessScreen& io_l_screen) { io_l_screen.OnClose(); });
  // The notice is the answer to the user; closing it ends the run as the user's choice.
  EXPECT_EQ("{\r\n  \"mode\":\"03\",\r\n  \"result\":\"9\"\r\n}", RunToEnd());
  ASSERT_EQ(std::vector<ScreenKind>{ScreenKind::kVersionInfo}, m_run_->ShownKinds());
  EXPECT_EQ(L"EW044-1230", m_run_->Shown().front().code);
  EXPECT_EQ(0U, m_rig_.Readers().CommandLog(m_rig_.Readers().ReaderNames().front()).size());
}

TEST_F(FlowTest, AMalformedRequestEndsWithItsCode) {
  Readers({});
  NewRun("{\"mode\":\"01\"").SetUser(TypingUser(L""));
  EXPECT_EQ("{\r\n  \"mode\":\"01\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW042-1206\"\r\n}", RunToEnd());
}

}  // namespace
}  // namespace tavc::test
