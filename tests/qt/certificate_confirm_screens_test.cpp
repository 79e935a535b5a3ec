// The Qt certificate confirmations: the eight items of the plain one, and the
// GPKI one's list, detail pane, CA certificate with its fingerprint, and the
// save of the certificate shown.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "host/cert/gpki_ap_certificate.h"
#include "host/resources/message_texts.h"
#include "tests/qt/screen_fixture.h"
#include "tests/support/scripted_scard_api.h"
#include "tests/unit/cert/cert_builder.h"

namespace tavc::test {
namespace {

#include "tests/unit/cert/fixtures/gpki_certificate.inc"

class CertificateConfirmScreensTest : public QtScreenTest {
 protected:
  CertificateConfirmScreensTest() {
    m_store_.SetCertificateType(L"019");
    for (GpkiApCertificate* l_certificate : {&m_card_, &m_ca_}) {
      l_certificate->SetCertificateHex(
          cert_test::HexOfDer(cert_test::Bytes(kGpkiCertificate, kGpkiCertificate + sizeof kGpkiCertificate)));
      EXPECT_EQ(0, l_certificate->ReadCertificateDetail());
    }
    m_certificate_ = &m_card_;
    m_second_certificate_ = &m_ca_;
  }

  QTreeWidget* List() const { return Find<QTreeWidget>("items"); }
  std::wstring Detail() const { return FromQString(Find<QPlainTextEdit>("detail")->toPlainText()); }

  ScriptedSCardApi m_api_;
  GpkiApCertificate m_card_{&m_store_, &m_result_, &m_error_, m_api_};
  GpkiApCertificate m_ca_{&m_store_, &m_result_, &m_error_, m_api_};
};

TEST_F(CertificateConfirmScreensTest, PlainConfirmationShowsTheItemsAndOkSignsByTheRightRoad) {
  m_store_.SetMode(L"07");
  m_store_.SetOrigin(L"https://example.jp");
  for (const wchar_t* l_type : {L"", L"004"}) {
    m_store_.SetCertificateType(l_type);
    ASSERT_NE(nullptr, Open(ScreenKind::kCertificateConfirm));
    EXPECT_EQ(ToQString(LoadMessageText(3013)), Widget()->windowTitle());
    EXPECT_EQ(LoadMessageText(2061), TextOf("message"));
    EXPECT_EQ(ToQString(m_card_.GetSerialNumber()), Find<QLineEdit>("value1066")->text());
    EXPECT_TRUE(Find<QLineEdit>("value1066")->isReadOnly());
    EXPECT_TRUE(Find<QLineEdit>("value1069")->text().contains(QStringLiteral("年"))) << "the validity in local dates";
    EXPECT_NE(nullptr, Find<QWidget>("origin"));
    QTest::keyClick(Widget(), Qt::Key_Return);
    EXPECT_EQ(*l_type == L'\0' ? WM_APP03 : WM_APP07, LastPost().message);
  }
}

TEST_F(CertificateConfirmScreensTest, GpkiListsTheItemsShowsDetailsAndTogglesToTheCa) {
  m_store_.SetMode(L"12");
  ASSERT_NE(nullptr, Open(ScreenKind::kCertificateConfirmGpkiAp));
  EXPECT_EQ(ToQString(LoadMessageText(3015)), Widget()->windowTitle());
  EXPECT_EQ(LoadMessageText(2080), TextOf("message"));
  const int l_card_rows = List()->topLevelItemCount();
  EXPECT_GE(l_card_rows, 14);
  EXPECT_EQ(QStringLiteral("バージョン"), List()->topLevelItem(0)->text(0));
  EXPECT_FALSE(Shown("fingerprint"));
  EXPECT_TRUE(Shown("toggle"));
  // Keys move the selection and show each row's detail, one item per line.
  List()->setFocus();
  List()->setCurrentItem(List()->topLevelItem(0));
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(L"OU=OfficialStatusCA\nO=Corvane Authority\nC=JP", Detail()) << "row 3: the issuer";
  QTest::keyClick(List(), Qt::Key_End);
  const std::wstring l_last = Detail();
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(l_last, Detail()) << "Down on the last row changes nothing";
  Button("toggle")->click();
  EXPECT_EQ(LoadMessageText(2081), TextOf("message"));
  EXPECT_EQ(ToQString(LoadMessageText(3104)), Button("ok")->text());
  EXPECT_TRUE(Shown("fingerprint"));
  EXPECT_EQ(ToQString(m_ca_.GetGpkiFingerPrint()), Find<QPlainTextEdit>("fingerprint")->toPlainText());
  EXPECT_NE(l_card_rows, List()->topLevelItemCount());
  EXPECT_EQ(L"", Detail());
  QTest::keyClick(Widget(), Qt::Key_Return);
  EXPECT_EQ(0, m_store_.GetGpkiCertificateType()) << "戻る goes back to the card's certificate";
  EXPECT_TRUE(Messages().empty());
  QTest::keyClick(Widget(), Qt::Key_Return);
  EXPECT_EQ(std::vector<std::uint32_t>{WM_APP03}, Messages());
}

TEST_F(CertificateConfirmScreensTest, SaveWritesTheCertificateAndAFailureEndsWithItsCode) {
  m_store_.SetMode(L"12");
  ASSERT_NE(nullptr, Open(ScreenKind::kCertificateConfirmGpkiAp));
  QTemporaryDir l_folder;
  ASSERT_TRUE(l_folder.isValid());
  struct Case {
    QString path;
    bool written;
  };
  for (const Case& l_case : {Case{l_folder.filePath(QStringLiteral("card.cer")), true},
                             Case{l_folder.filePath(QStringLiteral("missing/card.cer")), false}}) {
    Button("save")->click();
    auto* l_dialog = Widget()->findChild<QFileDialog*>(QStringLiteral("SaveDialog"));
    ASSERT_NE(nullptr, l_dialog);
    EXPECT_EQ(Qt::WindowModal, l_dialog->windowModality());
    emit l_dialog->fileSelected(l_case.path);
    l_dialog->close();
    QFile l_file(l_case.path);
    EXPECT_EQ(l_case.written, l_file.open(QIODevice::ReadOnly));
    if (l_case.written) {
      EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(kGpkiCertificate), sizeof kGpkiCertificate), l_file.readAll());
      EXPECT_TRUE(Messages().empty());
    } else {
      EXPECT_EQ(L"EW044-4499", m_error_.GetCode());
      EXPECT_EQ(WM_APP05, LastPost().message);
      EXPECT_EQ(1U, LastPost().wparam);
    }
  }
  EXPECT_EQ(QStringList{QStringLiteral("card.cer")}, QDir(l_folder.path()).entryList(QDir::Files | QDir::Hidden))
      << "no part file is left beside the target";
}

}  // namespace
}  // namespace tavc::test
