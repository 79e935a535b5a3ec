// The wrapper's certificate-file dialog and its boxes, driven as a user would
// with QTest: the table's texts, the origin line, the keyboard, and what the
// frame is told.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "common/qt/origin_label.h"
#include "common/qt/qt_text.h"
#include "wrapper/qt/file_selector_dlg.h"
#include "wrapper/qt/message_boxes.h"
#include "wrapper/wrapper_texts.h"

namespace {

QString Text(unsigned in_id) { return tavc::ToQString(WrapperText(in_id)); }

struct RecordingEvents final : FileDialogEvents {
  void OnFileChosen(const std::wstring& in_path, const std::wstring& in_password) override {
    chosen.push_back({in_path, in_password});
  }
  void OnEndChosen() override { ++ended; }
  void OnDialogFailed() noexcept override { ++failed; }
  std::vector<std::pair<std::wstring, std::wstring>> chosen;
  int ended = 0;
  int failed = 0;
};

// Acts on the next modal window once it shows; notes its class and its text.
struct ModalAnswer {
  QString kind;
  QString message;
};
void AnswerNextModal(ModalAnswer& out_seen, const std::function<void(QWidget*)>& in_act) {
  auto* l_timer = new QTimer;
  l_timer->setInterval(10);
  QObject::connect(l_timer, &QTimer::timeout, [l_timer, &out_seen, in_act] {
    QWidget* l_modal = QApplication::activeModalWidget();
    if (l_modal == nullptr) return;
    l_timer->stop();
    l_timer->deleteLater();
    out_seen.kind = l_modal->metaObject()->className();
    if (auto* l_label = l_modal->findChild<QLabel*>("message")) out_seen.message = l_label->text();
    in_act(l_modal);
  });
  l_timer->start();
}
void Press(QWidget* in_window, const char* in_button) {
  QTest::mouseClick(in_window->findChild<QPushButton*>(in_button), Qt::LeftButton);
}

const std::wstring kRequest = LR"({"mode":"02","ca":"013","digest":"AAE=","origin":"https://shop.example.co.jp:8443"})";

TEST(FileSelectorDlg, ShowsTheTablesTextsAndTheRequestsOriginAboveTheGuide) {
  RecordingEvents l_events;
  CFileSelectorDlg l_dialog(kRequest, l_events);
  EXPECT_EQ(Text(IDS_FILE_CAPTION), l_dialog.windowTitle());
  EXPECT_EQ(Text(IDS_FILE_GUIDE), l_dialog.findChild<QLabel*>("guideLabel")->text());
  EXPECT_EQ(Text(IDS_REF), l_dialog.findChild<QPushButton*>("browseButton")->text());
  EXPECT_EQ(Text(IDS_OK), l_dialog.findChild<QPushButton*>("okButton")->text());
  EXPECT_EQ(Text(IDS_CANCEL), l_dialog.findChild<QPushButton*>("cancelButton")->text());
  EXPECT_EQ(Text(IDS_VIEW_PASSWORD), l_dialog.findChild<QCheckBox*>("viewPassword")->text());
  auto* l_origin = l_dialog.findChild<tavc::OriginLabel*>("originLabel");
  ASSERT_NE(nullptr, l_origin);
  EXPECT_EQ(QString::fromUtf8("要求元: shop.example.co.jp:8443"), l_origin->Text());
  l_dialog.show();
  EXPECT_LT(l_origin->geometry().bottom(), l_dialog.findChild<QLabel*>("guideLabel")->geometry().top());
  EXPECT_EQ(l_origin->heightForWidth(l_origin->width()), l_origin->height()) << "no room left empty under the origin";

  for (const wchar_t* l_other : {LR"({"mode":"02","ca":"013"})",
                                 LR"({"mode":"02","ca":"013","origin":"https://a.jp/path"})"}) {
    CFileSelectorDlg l_plain(l_other, l_events);
    EXPECT_EQ(nullptr, l_plain.findChild<tavc::OriginLabel*>("originLabel"));
  }
}

TEST(FileSelectorDlg, OkHandsOverTheFileAndPasswordAndEmptiesThePasswordEveryTime) {
  RecordingEvents l_events;
  CFileSelectorDlg l_dialog(kRequest, l_events);
  l_dialog.show();
  auto* l_password = l_dialog.findChild<QLineEdit*>("passwordEdit");

  // Without a file: the box, nothing handed over, the password gone all the same.
  QTest::keyClicks(l_password, "secret");
  ModalAnswer l_seen;
  AnswerNextModal(l_seen, [](QWidget* in_box) { Press(in_box, "okButton"); });
  Press(&l_dialog, "okButton");
  EXPECT_EQ("CErrorMessageDlg", l_seen.kind);
  EXPECT_EQ(Text(IDS_FILE_OR_PASSWORD_MISSING), l_seen.message);
  EXPECT_TRUE(l_events.chosen.empty());
  EXPECT_TRUE(l_password->text().isEmpty());

  // With a file, from the keyboard: Enter in the password field presses OK.
  l_dialog.findChild<QLineEdit*>("fileEdit")->setText("/home/u/鍵.p12");
  l_password->setFocus();
  QTest::keyClicks(l_password, "p@ss\\\"");
  QTest::keyClick(l_password, Qt::Key_Return);
  ASSERT_EQ(1U, l_events.chosen.size());
  EXPECT_EQ(L"/home/u/鍵.p12", l_events.chosen[0].first);
  EXPECT_EQ(L"p@ss\\\"", l_events.chosen[0].second);
  EXPECT_TRUE(l_password->text().isEmpty());
  EXPECT_FALSE(l_password->isUndoAvailable());
}

TEST(FileSelectorDlg, ThePasswordShowsOnlyWhileTheBoxIsTickedAndTakesNoInputMethod) {
  RecordingEvents l_events;
  CFileSelectorDlg l_dialog(kRequest, l_events);
  l_dialog.show();
  auto* l_password = l_dialog.findChild<QLineEdit*>("passwordEdit");
  auto* l_view = l_dialog.findChild<QCheckBox*>("viewPassword");
  EXPECT_EQ(QLineEdit::Password, l_password->echoMode());
  EXPECT_FALSE(l_password->testAttribute(Qt::WA_InputMethodEnabled));
  // From the keyboard: the box takes the space bar, and gives the focus back.
  l_view->setFocus();
  QTest::keyClick(l_view, Qt::Key_Space);
  EXPECT_EQ(QLineEdit::Normal, l_password->echoMode());
  EXPECT_EQ(l_password, l_dialog.focusWidget());
  l_view->setFocus();
  QTest::keyClick(l_view, Qt::Key_Space);
  EXPECT_EQ(QLineEdit::Password, l_password->echoMode());
}

TEST(FileSelectorDlg, CancelEscapeAndClosingAskFirstAndEndOnlyOnOk) {
  using Leave = std::function<void(CFileSelectorDlg&)>;
  const std::vector<std::pair<const char*, Leave>> l_ways = {
      {"Cancel", [](CFileSelectorDlg& in_dialog) { Press(&in_dialog, "cancelButton"); }},
      {"Escape", [](CFileSelectorDlg& in_dialog) { QTest::keyClick(&in_dialog, Qt::Key_Escape); }},
      {"close", [](CFileSelectorDlg& in_dialog) { in_dialog.close(); }},
  };
  for (const auto& [l_name, l_leave] : l_ways) {
    RecordingEvents l_events;
    CFileSelectorDlg l_dialog(kRequest, l_events);
    l_dialog.show();
    ModalAnswer l_seen;
    AnswerNextModal(l_seen, [](QWidget* in_box) { Press(in_box, "cancelButton"); });
    l_leave(l_dialog);
    EXPECT_EQ("CEndConfirmDlg", l_seen.kind) << l_name;
    EXPECT_EQ(Text(IDS_END_TEXT), l_seen.message) << l_name;
    EXPECT_EQ(0, l_events.ended) << l_name << ": the user stayed";
    EXPECT_TRUE(l_dialog.isVisible()) << l_name;

    AnswerNextModal(l_seen, [](QWidget* in_box) { Press(in_box, "okButton"); });
    l_leave(l_dialog);
    EXPECT_EQ(1, l_events.ended) << l_name;
  }
}

TEST(FileSelectorDlg, BrowsingStartsAtTheLastFileChosen) {
  QTemporaryDir l_folder;
  const QString l_file = l_folder.filePath("user.p12");
  QFile(l_file).open(QIODevice::WriteOnly);
  RecordingEvents l_events;
  CFileSelectorDlg l_dialog(kRequest, l_events);
  l_dialog.show();
  ModalAnswer l_seen;
  AnswerNextModal(l_seen, [&](QWidget* in_chooser) {
    auto* l_chooser = qobject_cast<QFileDialog*>(in_chooser);
    EXPECT_EQ(Text(IDS_CHOOSE_FILE_TITLE), l_chooser->windowTitle());
    EXPECT_EQ((QStringList{Text(IDS_FILTER_CERTIFICATE), Text(IDS_FILTER_ALL)}), l_chooser->nameFilters());
    l_chooser->selectFile(l_file);
    QMetaObject::invokeMethod(l_chooser, "accept");
  });
  Press(&l_dialog, "browseButton");
  EXPECT_EQ(l_file, l_dialog.findChild<QLineEdit*>("fileEdit")->text());

  AnswerNextModal(l_seen, [&](QWidget* in_chooser) {
    auto* l_chooser = qobject_cast<QFileDialog*>(in_chooser);
    EXPECT_EQ(l_folder.path(), l_chooser->directory().absolutePath());
    EXPECT_EQ(QStringList{l_file}, l_chooser->selectedFiles());
    QMetaObject::invokeMethod(l_chooser, "reject");
  });
  Press(&l_dialog, "browseButton");
  EXPECT_EQ(l_file, l_dialog.findChild<QLineEdit*>("fileEdit")->text()) << "a cancelled browse changes nothing";
}

TEST(ErrorMessageDlg, ACodeShowsItsMessageThenTheCodeAndTheBoxGoesWithItsInput) {
  CErrorMessageDlg l_box(L"EW054-0001");
  EXPECT_EQ(Text(IDS_ERROR_CAPTION), l_box.windowTitle());
  EXPECT_EQ(Text(IDS_CHILD_NOT_STARTED) + Text(IDS_ERROR_CODE_LABEL) + "EW054-0001",
            l_box.findChild<QLabel*>("message")->text());

  int l_pipe[2];
  ASSERT_EQ(0, pipe(l_pipe));
  CErrorMessageDlg l_busy(L"EW040-0200");
  l_busy.CloseWhenEnded(l_pipe[0]);
  QTimer::singleShot(50, [&] {
    EXPECT_EQ(1, write(l_pipe[1], "x", 1)) << "what the page still sends is read past";
    QTimer::singleShot(50, [&] { close(l_pipe[1]); });
  });
  EXPECT_EQ(QDialog::Rejected, l_busy.exec());
  close(l_pipe[0]);
}

}  // namespace
