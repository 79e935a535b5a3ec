// The Qt password change screens: the selection, the change with its typing
// rules and checks by password type, and the result, which forgets the passwords.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "host/resources/message_texts.h"
#include "tests/qt/screen_fixture.h"

namespace tavc::test {
namespace {

class PasswordChangeScreensTest : public QtScreenTest {
 protected:
  QLineEdit* Field(const char* in_l_name) const { return Find<QLineEdit>(in_l_name); }
  void TypeAll(const char* in_l_current, const char* in_l_new, const char* in_l_confirmation) {
    QTest::keyClicks(Field("current"), QString::fromLatin1(in_l_current));
    QTest::keyClicks(Field("new"), QString::fromLatin1(in_l_new));
    QTest::keyClicks(Field("confirmation"), QString::fromLatin1(in_l_confirmation));
  }
};

TEST_F(PasswordChangeScreensTest, SelectionStartsOnTheStoredTypeAndOpensTheChange) {
  m_store_.SetMode(L"06");
  for (const auto& [l_type, l_radio] : std::initializer_list<std::pair<int, const char*>>{
           {0, "authentication"}, {1, "authentication"}, {2, "surface"}, {3, "signature"}}) {
    m_store_.SetPasswordType(l_type);
    ASSERT_NE(nullptr, Open(ScreenKind::kPasswordSelect));
    EXPECT_TRUE(Find<QRadioButton>(l_radio)->isChecked()) << l_type;
    EXPECT_TRUE(Find<QRadioButton>(l_radio)->font().bold());
  }
  EXPECT_EQ(ToQString(LoadMessageText(3010)), Widget()->windowTitle());
  m_store_.SetPasswordType(9);
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordSelect));
  QTest::keyClick(Widget(), Qt::Key_Return);
  EXPECT_TRUE(Messages().empty()) << "nothing checked: OK does nothing";
  Find<QRadioButton>("surface")->click();
  QTest::keyClick(Widget(), Qt::Key_Return);
  EXPECT_EQ(2, m_store_.GetPasswordType());
  ASSERT_EQ(std::vector<std::uint32_t>{WM_TVNNOTIFY}, Messages());
  EXPECT_EQ("PasswordChangeScreen", PostedScreenName());
}

TEST_F(PasswordChangeScreensTest, ChangeChecksByTypeAndHandsTheValidPasswordsOn) {
  struct Case {
    const wchar_t* mode;
    int type;
    bool shown;
    int limit;
    const char* current;
    const char* fresh;
    const char* confirmation;
    const wchar_t* code;  // empty: accepted
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"06", 1, false, 4, "1a234", "5678", "5679", L"EW640-2742"},
           {L"06", 1, false, 4, "1234", "5678", "5678", L""},
           {L"06", 3, true, 16, "abcdef", "abc123", "abc123", L"EW640-2748"},
           {L"06", 3, true, 16, "abc123", "xyz789", "xyz789", L""},
           {L"13", 0, false, 16, "Abc123", "New-456", "New456", L"EW640-274E"},
       }) {
    SCOPED_TRACE(std::string(l_case.current) + "/" + l_case.fresh);
    m_store_.SetMode(l_case.mode);
    m_store_.SetPasswordType(l_case.type);
    m_error_.SetError(L"", L"", L"", L"");
    ASSERT_NE(nullptr, Open(ScreenKind::kPasswordChange));
    EXPECT_EQ(l_case.shown, Find<QCheckBox>("show")->isChecked());
    EXPECT_EQ(l_case.shown ? QLineEdit::Normal : QLineEdit::Password, Field("new")->echoMode());
    EXPECT_EQ(l_case.limit, Field("confirmation")->maxLength());
    EXPECT_FALSE(Field("current")->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_FALSE(Shown("error"));
    QTest::keyClicks(Field("current"), QString::fromLatin1(l_case.current));
    QTest::keyClicks(Field("new"), QString::fromLatin1(l_case.fresh));
    EXPECT_FALSE(Button("ok")->isEnabled()) << "the confirmation is still empty";
    QTest::keyClicks(Field("confirmation"), QString::fromLatin1(l_case.confirmation));
    ASSERT_TRUE(Button("ok")->isEnabled());
    const std::size_t l_posted = Messages().size();
    QTest::keyClick(Field("confirmation"), Qt::Key_Return);
    EXPECT_EQ(l_case.code, m_error_.GetCode());
    if (*l_case.code != L'\0') {
      EXPECT_TRUE(Shown("error"));
      EXPECT_EQ(m_error_.GetMessage(), TextOf("error"));
      EXPECT_TRUE(Find<QLabel>("error")->font().bold());
      EXPECT_TRUE(Field("current")->text().isEmpty() && Field("new")->text().isEmpty());
      EXPECT_EQ(l_posted, Messages().size());
    } else {
      EXPECT_EQ(WM_APP03, LastPost().message);
      EXPECT_FALSE(m_store_.GetPassword().empty());
      EXPECT_EQ(l_case.type == 3 ? std::wstring(L"XYZ789") : std::wstring(L"5678"), m_store_.GetNewPassword())
          << "the signature password is typed upper-case";
      EXPECT_TRUE(Field("new")->text().isEmpty());
    }
  }
}

TEST_F(PasswordChangeScreensTest, CancelGoesBackToTheSelectionOrAsksToEndForGpki) {
  m_store_.SetMode(L"06");
  m_store_.SetPasswordType(1);
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordChange));
  QTest::keyClick(Field("current"), Qt::Key_Escape);
  ASSERT_EQ(std::vector<std::uint32_t>{WM_TVNNOTIFY}, Messages());
  EXPECT_EQ("PasswordSelectScreen", PostedScreenName());
  m_store_.SetMode(L"13");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordChange));
  EXPECT_EQ(ToQString(LoadMessageText(3016)), Widget()->windowTitle());
  Button("cancel")->click();
  EXPECT_NE(nullptr, Widget()->OpenModal());
  EXPECT_EQ(1U, Messages().size());
}

TEST_F(PasswordChangeScreensTest, ResultNamesThePasswordForgetsItAndGoesOn) {
  struct Case {
    const wchar_t* mode;
    int type;
    std::uint32_t text;
    std::uint32_t ok_posts;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"06", 3, 2049, WM_APP01}, {L"06", 1, 2050, WM_APP01}, {L"06", 2, 2051, WM_APP01}, {L"13", 0, 2078, WM_APP05}}) {
    m_store_.SetMode(l_case.mode);
    m_store_.SetPasswordType(l_case.type);
    m_store_.SetPassword(L"1234");
    m_store_.SetNewPassword(L"5678");
    ASSERT_NE(nullptr, Open(ScreenKind::kPasswordChangeResult));
    EXPECT_EQ(LoadMessageText(l_case.text), TextOf("message"));
    EXPECT_EQ(L"", m_store_.GetPassword());
    EXPECT_EQ(L"", m_store_.GetNewPassword());
    EXPECT_EQ(0, m_store_.GetPasswordType());
    QTest::keyClick(Widget(), Qt::Key_Return);
    EXPECT_EQ(l_case.ok_posts, LastPost().message);
  }
  m_error_.SetError(L"EW644-3152", L"", L"", L"");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordChangeResult));
  EXPECT_EQ(m_error_.GetMessage(), TextOf("message"));
}

}  // namespace
}  // namespace tavc::test
