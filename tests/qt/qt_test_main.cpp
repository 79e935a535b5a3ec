// The Qt tests' entry point: one QApplication for every test, on Qt's
// offscreen platform unless QT_QPA_PLATFORM names another (Xvfb, to look).
#include <gtest/gtest.h>

#include <QApplication>

#include "common/qt/japanese_first.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication l_application(argc, argv);
  // As both programs do, so that Qt's own dialogs speak Japanese here too.
  if (!tavc::PreferJapanese()) return 1;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
