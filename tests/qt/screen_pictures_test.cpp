// Every Qt screen and dialog with typical contents, checked to show all of
// itself (no button outside, no text cut) and saved as a picture to look at:
// <build>/qt-screens/<scale in percent>/<name>.png. ctest runs it at 100% and,
// with QT_SCALE_FACTOR=2, at 200%.
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <functional>

#include "host/cert/gpki_ap_certificate.h"
#include "host/resources/message_texts.h"
#include "tests/qt/screen_fixture.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/cert/cert_builder.h"

namespace tavc::test {
namespace {

#include "tests/unit/cert/fixtures/gpki_certificate.inc"

class ScreenPictures : public QtScreenTest {
 protected:
  ScreenPictures() {
    for (GpkiApCertificate* l_certificate : {&m_card_, &m_ca_}) {
      l_certificate->SetCertificateHex(
          cert_test::HexOfDer(cert_test::Bytes(kGpkiCertificate, kGpkiCertificate + sizeof kGpkiCertificate)));
      l_certificate->ReadCertificateDetail();
    }
    m_certificate_ = &m_card_;
    m_second_certificate_ = &m_ca_;
    m_store_.SetServiceId(L"01");
    m_store_.SetOwnVersion(L"1");
    m_store_.SetIntegrityLevel(0x2000);
    const int l_scale = static_cast<int>(qRound(m_host_.devicePixelRatioF() * 100));
    m_folder_ = QString::fromLatin1(TAV_SCREEN_PICTURES_DIR "/%1").arg(l_scale);
    QDir().mkpath(m_folder_);
  }

  // Every visible child lies inside the widget, and every label has the height its text needs.
  static void ExpectWhole(QWidget* in_l_widget, const std::string& in_l_name) {
    for (QWidget* l_child : in_l_widget->findChildren<QWidget*>()) {
      if (!l_child->isVisible() || l_child->window() != in_l_widget->window()) continue;
      const QRect l_rect(l_child->mapTo(in_l_widget, QPoint(0, 0)), l_child->size());
      EXPECT_TRUE(in_l_widget->rect().contains(l_rect))
          << in_l_name << ": " << l_child->objectName().toStdString() << " is outside";
      const auto* l_label = qobject_cast<const QLabel*>(l_child);
      if (l_label != nullptr && l_label->wordWrap() && l_label->hasHeightForWidth()) {
        EXPECT_GE(l_label->height(), l_label->heightForWidth(l_label->width()))
            << in_l_name << ": " << l_label->objectName().toStdString() << " is cut";
      }
    }
  }

  // Shows the screen as the frame does (at its size hint) and saves its picture.
  // `in_l_before` acts on the screen before its picture, `in_l_then` opens a dialog pictured after it.
  void Picture(const char* in_l_name, ScreenKind in_l_kind, int in_l_process_mode = 0,
               const std::function<void(QtScreen&)>& in_l_then = {},
               const std::function<void(QtScreen&)>& in_l_before = {}) {
    QtScreen* l_screen = Open(in_l_kind, in_l_process_mode);
    ASSERT_NE(nullptr, l_screen) << in_l_name;
    if (in_l_before) in_l_before(*l_screen);
    l_screen->setParent(nullptr);
    l_screen->setWindowFlags(Qt::Window);
    // As the frame does: shown (and so laid out in the style's margins), then sized.
    l_screen->show();
    QTest::qWait(30);
    l_screen->resize(l_screen->PreferredSize());
    QTest::qWait(30);
    ExpectWhole(l_screen, in_l_name);
    EXPECT_TRUE(l_screen->grab().save(m_folder_ + "/" + in_l_name + ".png")) << in_l_name;
    if (!in_l_then) return;
    in_l_then(*l_screen);
    QTest::qWait(30);
    QDialog* l_modal = l_screen->OpenModal();
    ASSERT_NE(nullptr, l_modal) << in_l_name;
    ExpectWhole(l_modal, in_l_name);
    EXPECT_TRUE(l_modal->grab().save(m_folder_ + "/" + l_modal->objectName() + ".png"));
    l_modal->close();
  }

  ScriptedSCardApi m_api_;
  GpkiApCertificate m_card_{&m_store_, &m_result_, &m_error_, m_api_};
  GpkiApCertificate m_ca_{&m_store_, &m_result_, &m_error_, m_api_};
  QString m_folder_;
};

TEST_F(ScreenPictures, EveryScreenShowsWhole) {
  m_store_.SetMode(L"02");
  m_store_.SetOrigin(L"https://login.example.co.jp:8443");
  for (const wchar_t* l_digest : {L"AA", L"BB", L"CC"}) m_store_.SetDigest(l_digest);
  Picture("processing_card", ScreenKind::kProcessing, 1);
  Picture("processing_signing", ScreenKind::kProcessing, 4);
  Picture("processing_password_change", ScreenKind::kProcessing, 3);
  Picture("password_entry_signing", ScreenKind::kPasswordEntry, 0,
          [](QtScreen& io_l_screen) { QTest::keyClick(&io_l_screen, Qt::Key_Escape); });
  m_error_.SetError(L"EW140-1510", L"", L"", L"");
  Picture("card_request_reader_missing", ScreenKind::kCardRequest);
  m_error_.SetError(L"EW042-1201", L"", L"", L"");
  Picture("error_with_faq", ScreenKind::kError, 0,
          [](QtScreen& io_l_screen) { io_l_screen.findChild<QAbstractButton*>(QStringLiteral("version"))->click(); });
  m_error_.SetError(L"", L"", L"", L"");
  m_store_.SetMode(L"07");
  Picture("certificate_confirm", ScreenKind::kCertificateConfirm);
  m_store_.SetMode(L"12");
  Picture("certificate_confirm_gpki", ScreenKind::kCertificateConfirmGpkiAp);
  Picture("certificate_confirm_gpki_ca", ScreenKind::kCertificateConfirmGpkiAp, 0, {}, [](QtScreen& io_l_screen) {
    io_l_screen.findChild<QAbstractButton*>(QStringLiteral("toggle"))->click();
  });
  m_store_.SetMode(L"06");
  m_store_.SetPasswordType(3);
  Picture("password_select", ScreenKind::kPasswordSelect);
  m_error_.SetError(L"EW640-274C", L"", L"", L"");
  Picture("password_change_signature", ScreenKind::kPasswordChange);
  m_error_.SetError(L"", L"", L"", L"");
  m_store_.SetPasswordType(1);
  Picture("password_change_result", ScreenKind::kPasswordChangeResult);
  m_store_.SetMode(L"01");
  m_store_.SetLanguage(L"en");
  m_store_.SetPwChange(L"1");
  SetMessageLanguage(L"en");
  Picture("password_entry_login_english", ScreenKind::kPasswordEntry);
  SetMessageLanguage(L"ja");
  m_error_.SetError(L"EW144-0430", L"", L"", L"");
  Picture("version_notice", ScreenKind::kVersionInfo);
  m_error_.SetError(L"EW144-0431", L"", L"", L"");
  Picture("version_notice_must_update", ScreenKind::kVersionInfo);
}

}  // namespace
}  // namespace tavc::test
