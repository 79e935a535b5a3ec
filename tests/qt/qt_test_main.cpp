// The Qt tests' entry point: one QApplication for every test, on Qt's
// offscreen platform unless QT_QPA_PLATFORM names another (Xvfb, to look).
#include <gtest/gtest.h>

#include <QApplication>

#include "host/app/qt/tav_main.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication l_application(argc, argv);
  // As TAV does, so that Qt's own dialogs speak Japanese here too.
  if (!tavc::InstallJapaneseQtTexts()) return 1;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
