// The password entry screen on Qt: per mode its texts, limits, typing filter,
// OK threshold and what reaches the data store; the keyboard paths; the
// origin line with the signature count; no input method on the field.
#include <QCheckBox>
#include <QLineEdit>

#include "host/resources/message_texts.h"
#include "host/screens/qt/end_alert_dialog.h"
#include "tests/qt/screen_fixture.h"

namespace tavc::test {
namespace {

class PasswordSetScreenTest : public QtScreenTest {
 protected:
  QLineEdit* Field() const { return Find<QLineEdit>("password"); }
};

TEST_F(PasswordSetScreenTest, EachModeFiltersTypingEnablesOkAndStoresThePassword) {
  struct Case {
    const wchar_t* mode;
    std::uint32_t title;
    std::uint32_t prompt;
    int limit;
    const char* typed;
    const char* kept;  // what the filter leaves in the field
    int ok_from;       // characters
    const wchar_t* stored;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"01", 3003, 2005, 4, "1a2-34", "1234", 4, L"1234"},
           {L"02", 3004, 2006, 16, "ab-c123", "abc123", 6, L"ABC123"},
           {L"11", 3014, 2068, 16, "Ab-c12!3", "Abc123", 6, L"Abc123"},
           {L"03", 3005, 2007, 4, "9x876", "9876", 4, L"9876"},
       }) {
    SCOPED_TRACE(QString::fromWCharArray(l_case.mode).toStdString());
    m_store_.SetMode(l_case.mode);
    const std::size_t l_posted = Messages().size();
    ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
    EXPECT_EQ(ToQString(LoadMessageText(l_case.title)), Widget()->windowTitle());
    EXPECT_EQ(LoadMessageText(l_case.prompt), TextOf("prompt"));
    EXPECT_EQ(l_case.limit, Field()->maxLength());
    EXPECT_FALSE(Shown("error")) << "no error line on a first showing";
    EXPECT_FALSE(Button("ok")->isEnabled());
    QTest::keyClicks(Field(), QString::fromLatin1(l_case.typed));
    EXPECT_EQ(QString::fromLatin1(l_case.kept), Field()->text());
    EXPECT_EQ(Field()->text().size(), Field()->cursorPosition()) << "the caret follows what was kept";
    Field()->setText(Field()->text().left(l_case.ok_from - 1));
    EXPECT_FALSE(Button("ok")->isEnabled());
    Field()->setText(QString::fromLatin1(l_case.kept));
    EXPECT_TRUE(Button("ok")->isEnabled());
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_EQ(l_case.stored, m_store_.GetPassword());
    EXPECT_EQ(l_posted + 1, Messages().size());
    EXPECT_EQ(WM_APP03, LastPost().message);
    EXPECT_TRUE(Field()->text().isEmpty()) << "the password stays in the store only";
    EXPECT_FALSE(Field()->isUndoAvailable());
  }
}

TEST_F(PasswordSetScreenTest, TheFieldTakesNoInputMethodShownOrHidden) {
  m_store_.SetMode(L"02");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
  for (const bool l_shown : {false, true, false}) {
    Find<QCheckBox>("show")->setChecked(l_shown);
    EXPECT_EQ(l_shown ? QLineEdit::Normal : QLineEdit::Password, Field()->echoMode());
    EXPECT_FALSE(Field()->testAttribute(Qt::WA_InputMethodEnabled)) << l_shown;
    EXPECT_TRUE(Field()->inputMethodHints().testFlag(Qt::ImhSensitiveData));
    EXPECT_TRUE(Field()->inputMethodHints().testFlag(Qt::ImhHiddenText));
  }
}

TEST_F(PasswordSetScreenTest, TabGoesFieldShowOkCancelAndEnterOnADisabledOkDoesNothing) {
  m_store_.SetMode(L"01");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
  EXPECT_EQ(Field(), QApplication::focusWidget());
  QTest::keyClick(Field(), Qt::Key_Return);
  EXPECT_TRUE(Messages().empty());
  QTest::keyClicks(Field(), QStringLiteral("1234"));
  std::vector<std::string> l_order;
  for (int l_i = 0; l_i < 3; ++l_i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    l_order.push_back(QApplication::focusWidget()->objectName().toStdString());
  }
  EXPECT_EQ((std::vector<std::string>{"show", "ok", "cancel"}), l_order);
}

TEST_F(PasswordSetScreenTest, EscapeAsksToEndAndOkThereEndsTheRun) {
  m_store_.SetMode(L"01");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
  QTest::keyClick(Field(), Qt::Key_Escape);
  auto* l_alert = dynamic_cast<EndAlertDialog*>(Widget()->OpenModal());
  ASSERT_NE(nullptr, l_alert);
  EXPECT_EQ(Qt::WindowModal, l_alert->windowModality());
  EXPECT_TRUE(Messages().empty()) << "nothing ends before the user answers";
  QTest::keyClick(l_alert, Qt::Key_Return);
  EXPECT_EQ(std::vector<std::uint32_t>{WM_APP04}, Messages());
  EXPECT_EQ(1, EndAlert::ExamineMutex());
  EndAlert::ResetAnswer();
}

TEST_F(PasswordSetScreenTest, EnglishLogInWithTheLinkToThePasswordChange) {
  m_store_.SetMode(L"01");
  m_store_.SetPwChange(L"1");
  SetMessageLanguage(L"en");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
  SetMessageLanguage(L"ja");
  EXPECT_EQ(QStringLiteral("Tavori: Enter Password/PIN (Login)"), Widget()->windowTitle());
  EXPECT_EQ(QStringLiteral("Show Password/PIN"), Find<QCheckBox>("show")->text());
  ASSERT_TRUE(Shown("change_link"));
  emit Find<QLabel>("change_link")->linkActivated(QString());
  EXPECT_EQ(1, m_store_.GetCancelType());
  EXPECT_EQ(std::vector<std::uint32_t>{WM_APP04}, Messages());
}

TEST_F(PasswordSetScreenTest, AWrongPinShowsTheCardsMessageInRed) {
  m_store_.SetMode(L"01");
  m_error_.SetError(L"EW140-1620", L"", L"", L"");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
  ASSERT_TRUE(Shown("error"));
  EXPECT_EQ(m_error_.GetMessage(), TextOf("error"));
  EXPECT_EQ(QColor(Qt::red), Find<QLabel>("error")->palette().color(QPalette::WindowText));
}

TEST_F(PasswordSetScreenTest, SigningFromAPageShowsWhoAsksAndHowManySignatures) {
  m_store_.SetMode(L"02");
  m_store_.SetOrigin(L"https://login.example.co.jp:8443");
  m_store_.SetDigest(L"AAAA");
  m_store_.SetDigest(L"BBBB");
  ASSERT_NE(nullptr, Open(ScreenKind::kPasswordEntry));
  const auto* l_origin = Find<QWidget>("origin");
  ASSERT_NE(nullptr, l_origin);
  EXPECT_EQ(QStringLiteral("要求元: login.example.co.jp:8443\n2件の電子署名を行います"), l_origin->accessibleName());
  EXPECT_GE(l_origin->height(), l_origin->heightForWidth(l_origin->width())) << "no line of it is cut";
}

}  // namespace
}  // namespace tavc::test
