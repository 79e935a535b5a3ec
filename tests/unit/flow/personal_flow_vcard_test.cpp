// Personal data reading and the password changes of both cards.
#include "tests/unit/flow/flow_fixture.h"

namespace tavc::test {
namespace {

std::string Hex(const std::string& in_l_text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string l_hex;
  for (const char l_c : in_l_text) {
    const auto l_byte = static_cast<unsigned char>(l_c);
    l_hex += {kDigits[l_byte >> 4], kDigits[l_byte & 15]};
  }
  return l_hex;
}

TEST_F(FlowTest, PersonalDataWithTheIndividualNumber) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("03", ",\"combination_code_flag\":\"true\"")).SetUser(TypingUser(L"1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"mynumber\":\"" + Hex("123456789018") + "\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"birthday\":\"" + Hex("19850415") + "\"")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"combination_code\":\"")) << l_answer;
}

TEST_F(FlowTest, PersonalDataWithoutTheIndividualNumber) {
  Readers({{CardKind::kMyNumber}});
  NewRun(RequestJson("04")).SetUser(TypingUser(L"1234"));
  const std::string l_answer = RunToEnd();
  EXPECT_TRUE(Has(l_answer, "\"result\":\"0\"")) << l_answer;
  EXPECT_FALSE(Has(l_answer, "mynumber")) << l_answer;
  EXPECT_TRUE(Has(l_answer, "\"name\":\"")) << l_answer;
}

// The user changes each of the card's three passwords in turn, then ends the run.
TEST_F(FlowTest, ChangingEachOfTheThreePasswords) {
  Readers({{CardKind::kMyNumber}});
  struct Change {
    int type;
    const wchar_t* current;
    const wchar_t* next;
  };
  const std::vector<Change> l_changes = {{1, L"1234", L"4321"}, {3, L"ABC123", L"XYZ789"}, {2, L"1234", L"5678"}};
  std::size_t l_done = 0;
  NewRun(RequestJson("06")).SetUser([&](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    switch (io_l_screen.Kind()) {
      case ScreenKind::kPasswordSelect:
        if (l_done == l_changes.size()) {
          io_l_screen.OnClose();
        } else {
          io_l_run.Store().SetPasswordType(l_changes[l_done].type);
          io_l_run.OpenScreen(ScreenKind::kPasswordChange);
        }
        break;
      case ScreenKind::kPasswordChange:
        io_l_run.ChangePassword(l_changes[l_done].current, l_changes[l_done].next);
        break;
      case ScreenKind::kPasswordChangeResult:
        EXPECT_EQ(L"", io_l_screen.Request().error_info->GetCode());
        ++l_done;
        io_l_run.Post(WM_APP01);
        break;
      default: break;
    }
  });
  const std::string l_answer = RunToEnd();
  EXPECT_EQ(3U, l_done);
  EXPECT_EQ(0U, l_answer.find("{\r\n  \"mode\":\"06\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"")) << l_answer;
}

// A user who ends a password change run after trying one change (or none):
// the first change is made with a wrong current password.
UserScript EndingUser(bool in_l_try, int& io_l_change_screens) {
  return [in_l_try, &io_l_change_screens](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    if (io_l_screen.Kind() == ScreenKind::kPasswordSelect && in_l_try) {
      io_l_run.Store().SetPasswordType(1);
      io_l_run.OpenScreen(ScreenKind::kPasswordChange);
    } else if (io_l_screen.Kind() == ScreenKind::kPasswordChange && io_l_change_screens++ == 0) {
      io_l_run.ChangePassword(L"9999", L"4321");
    } else if (io_l_screen.Kind() != ScreenKind::kProcessing) {
      io_l_screen.OnClose();
    }
  };
}

TEST_F(FlowTest, EndingAfterAFailedPasswordChangeAnswersItsCode) {
  Readers({{CardKind::kMyNumber}});
  int l_change_screens = 0;
  NewRun(RequestJson("06")).SetUser(EndingUser(true, l_change_screens));
  const std::string l_answer = RunToEnd();
  EXPECT_EQ(2, l_change_screens);
  EXPECT_EQ(0U, l_answer.find("{\r\n  \"mode\":\"06\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW6")) << l_answer;
}

TEST_F(FlowTest, EndingWithoutTryingAChangeAnswersNine) {
  Readers({{CardKind::kMyNumber}});
  int l_change_screens = 0;
  NewRun(RequestJson("06")).SetUser(EndingUser(false, l_change_screens));
  EXPECT_EQ("{\r\n  \"mode\":\"06\",\r\n  \"result\":\"9\"\r\n}", RunToEnd());
}

TEST_F(FlowTest, GpkiPasswordChange) {
  Readers({{CardKind::kGpki}});
  NewRun(RequestJson("13")).SetUser([](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    if (io_l_screen.Kind() == ScreenKind::kPasswordChange) io_l_run.ChangePassword(L"GPKI1234", L"NEWPASS1");
    if (io_l_screen.Kind() == ScreenKind::kPasswordChangeResult) io_l_run.Post(WM_APP05, 0);
  });
  const std::string l_answer = RunToEnd();
  EXPECT_EQ(0U, l_answer.find("{\r\n  \"mode\":\"13\",\r\n  \"result\":\"0\",\r\n  \"uuid\":\"")) << l_answer;
  EXPECT_EQ(L"", m_run_->Store().GetPassword());
  EXPECT_EQ(L"", m_run_->Store().GetNewPassword());
}

}  // namespace
}  // namespace tavc::test
