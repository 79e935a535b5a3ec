// The Qt screens that tell rather than ask: card request, processing, error
// and version notice; their texts, the FAQ and download addresses, what OK,
// Cancel, Escape and the frame's close post.
#include <QPlainTextEdit>
#include <QProgressBar>

#include "host/resources/message_texts.h"
#include "host/screens/qt/end_alert_dialog.h"
#include "tests/qt/screen_fixture.h"

namespace tavc::test {
namespace {

class NoticeScreensTest : public QtScreenTest {
 protected:
  std::wstring Address() const {
    const auto* l_field = Find<QPlainTextEdit>("address");
    return l_field != nullptr ? FromQString(l_field->toPlainText()) : L"";
  }
};

TEST_F(NoticeScreensTest, CardRequestByCardKindAndPreviousError) {
  struct Case {
    const wchar_t* mode;
    const wchar_t* code;
    std::uint32_t message;
    std::uint32_t address;  // 0: no address part
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"01", L"", 2003, 0},
           {L"11", L"EWC40-3910", 2065, 3312},  // reader not recognised (2004)
           {L"02", L"EW140-1510", 2003, 3312},
       }) {
    m_store_.SetMode(l_case.mode);
    m_error_.SetError(l_case.code, L"", L"", L"");
    ASSERT_NE(nullptr, Open(ScreenKind::kCardRequest));
    EXPECT_EQ(ToQString(LoadMessageText(3002)), Widget()->windowTitle());
    EXPECT_EQ(LoadMessageText(l_case.message), TextOf("message"));
    EXPECT_EQ(*l_case.code != L'\0', Shown("error"));
    if (*l_case.code != L'\0') {
      EXPECT_EQ(m_error_.GetMessage(), TextOf("error"));
    }
    EXPECT_EQ(l_case.address != 0, Shown("address"));
    EXPECT_EQ(l_case.address != 0 ? LoadMessageText(l_case.address) : L"", Address());
  }
  QTest::keyClick(Widget(), Qt::Key_Return);
  EXPECT_EQ(std::vector<std::uint32_t>{WM_APP01}, Messages());
}

TEST_F(NoticeScreensTest, ErrorScreenEndsTheRunOnOkOrCloseButNotOnEscape) {
  m_store_.SetMode(L"01");
  m_error_.SetError(L"EW042-1201", L"", L"", L"");  // message 2016: the FAQ top page
  ASSERT_NE(nullptr, Open(ScreenKind::kError));
  EXPECT_EQ(ToQString(LoadMessageText(3007)), Widget()->windowTitle());
  EXPECT_EQ(m_error_.GetMessage(), TextOf("error"));
  EXPECT_EQ(LoadMessageText(3311), Address());
  QTest::keyClick(Widget(), Qt::Key_Escape);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(nullptr, Widget()->OpenModal()) << "the error screen asks nothing";
  QTest::keyClick(Widget(), Qt::Key_Return);
  ASSERT_EQ(std::vector<std::uint32_t>{WM_APP04}, Messages());
  EXPECT_EQ(0U, LastPost().wparam);
  // After the page went away, its close ends the run with kind 2.
  m_store_.SetInterruptState(1);
  m_error_.SetError(L"EW044-2400", L"", L"", L"");
  ASSERT_NE(nullptr, Open(ScreenKind::kError));
  EXPECT_FALSE(Shown("address"));
  m_screen_->OnClose();
  EXPECT_EQ(2U, LastPost().wparam);
}

TEST_F(NoticeScreensTest, ProcessingByModeAndTheSignatureCount) {
  struct Case {
    int mode;
    std::uint32_t text;
    bool warning;
    bool cancel_shown;
    bool cancel_enabled;
    bool close_asks;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {0, 2011, false, true, true, true},
           {1, 2012, false, true, true, true},
           {2, 2013, false, true, false, false},
           {3, 2030, true, false, false, false},
           {5, 2070, false, true, true, true},
           {7, 2071, true, false, false, true},
       }) {
    SCOPED_TRACE(l_case.mode);
    ASSERT_NE(nullptr, Open(ScreenKind::kProcessing, l_case.mode));
    EXPECT_EQ(ToQString(LoadMessageText(3006)), Widget()->windowTitle());
    EXPECT_EQ(LoadMessageText(l_case.text), TextOf("message"));
    EXPECT_EQ(l_case.warning, Shown("warning"));
    EXPECT_EQ(l_case.cancel_shown, Shown("cancel"));
    EXPECT_EQ(l_case.cancel_enabled, Button("cancel")->isEnabled());
    m_screen_->OnClose();
    EXPECT_EQ(l_case.close_asks, Widget()->OpenModal() != nullptr);
  }
  EXPECT_TRUE(Messages().empty()) << "the processing screen posts nothing itself";
  for (const wchar_t* l_digest : {L"AA", L"BB", L"CC"}) m_store_.SetDigest(l_digest);
  ASSERT_NE(nullptr, Open(ScreenKind::kProcessing, 4));
  EXPECT_EQ(L"署名中です。（0/3）", TextOf("message"));
  m_result_.SetSignature(L"00");
  m_result_.SetSignature(L"01");
  QTest::qWait(100);
  EXPECT_EQ(L"署名中です。（2/3）", TextOf("message"));
  EXPECT_EQ(2, Find<QProgressBar>("progress")->value());
  EXPECT_EQ(3, Find<QProgressBar>("progress")->maximum());
}

TEST_F(NoticeScreensTest, VersionNoticeSkipGoesOnAndTheRestEndTheRun) {
  struct Case {
    const wchar_t* code;
    const wchar_t* ca;
    bool skip;
    std::uint32_t skip_posts;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"EW144-0430", L"", true, WM_APP01},
           {L"EW244-0430", L"004", true, WM_APP07},
           {L"EW144-0431", L"", false, 0},
       }) {
    m_store_.SetMode(L"01");
    m_store_.SetCertificateType(l_case.ca);
    m_store_.SetIntegrityLevel(0x2000);
    m_error_.SetError(l_case.code, L"", L"", L"");
    ASSERT_NE(nullptr, Open(ScreenKind::kVersionInfo));
    EXPECT_EQ(ToQString(LoadMessageText(3001)), Widget()->windowTitle());
    EXPECT_EQ(m_error_.GetMessage(), TextOf("message"));
    EXPECT_EQ(l_case.skip, Shown("skip"));
    EXPECT_EQ(ToQString(LoadMessageText(3103)), Button("update")->text());
    EXPECT_FALSE(Shown("address")) << "the notice opens the page itself";
    const std::size_t l_posted = Messages().size();
    QTest::keyClick(Widget(), Qt::Key_Escape);
    EXPECT_EQ(WM_APP04, LastPost().message) << "Escape ends without opening anything";
    if (l_case.skip) {
      QTest::keyClick(Widget(), Qt::Key_Return);
      EXPECT_EQ(l_case.skip_posts, LastPost().message);
    }
    EXPECT_EQ(l_posted + (l_case.skip ? 2 : 1), Messages().size());
  }
}

TEST_F(NoticeScreensTest, InformationButtonOpensTheVersionWithoutLeavingTheScreen) {
  m_store_.SetOwnVersion(L"1");
  ASSERT_NE(nullptr, Open(ScreenKind::kCardRequest));
  Button("version")->click();
  QDialog* l_dialog = Widget()->OpenModal();
  ASSERT_NE(nullptr, l_dialog);
  EXPECT_EQ(QStringLiteral("VersionInfoDialog"), l_dialog->objectName());
  EXPECT_EQ(QStringLiteral("Ver1"), l_dialog->findChild<QLabel*>(QStringLiteral("ver"))->text());
  EXPECT_EQ(ToQString(LoadJapaneseText(3302)), l_dialog->findChild<QLabel*>(QStringLiteral("maker"))->text());
  QTest::keyClick(l_dialog, Qt::Key_Escape);
  QTest::qWait(10);
  EXPECT_EQ(nullptr, Widget()->OpenModal());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(NoticeScreensTest, AScreenReplacedWhileItsEndAlertIsOpenLetsTheWaitersGo) {
  m_store_.SetMode(L"01");
  ASSERT_NE(nullptr, Open(ScreenKind::kCardRequest));
  QTest::keyClick(Widget(), Qt::Key_Escape);
  QPointer<QDialog> l_alert = Widget()->OpenModal();
  ASSERT_NE(nullptr, l_alert.data());
  // The page went away: the frame replaces the screen; the alert goes with it.
  m_screen_->DestroyWindow();
  EXPECT_TRUE(l_alert.isNull());
  EXPECT_EQ(0, EndAlert::ExamineMutex()) << "a worker waiting on the alert goes on, the run not ended";
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace tavc::test
