// tav_driven: TAV for Linux as the product is, plus the screen driver, which
// plays the user with the steps of the environment variable TAV_TEST_STEPS
// (screen_driver.h lists them; separated by white space). For end-to-end and
// browser tests only: it is built beside the tests and never installed. The
// product TAV has no driver and reads no such variable, so nothing a page or
// its caller sends can act on the user's screens.
#include <cstdio>
#include <cstdlib>

#include "host/app/qt/qt_frame.h"
#include "host/app/qt/tav_main.h"
#include "tests/qt/screen_driver.h"

int main() {
  const char* l_steps = std::getenv("TAV_TEST_STEPS");
  return tavc::RunTav([l_steps](tavc::QtFrame& io_l_frame) {
    auto* l_driver = new tavc::test::ScreenDriver(io_l_frame, tavc::test::ScreenDriver::Split(l_steps ? l_steps : ""));
    QObject::connect(l_driver, &tavc::test::ScreenDriver::Failed, [](const QString& in_l_reason) {
      std::fprintf(stderr, "tav_driven: %s\n", qPrintable(in_l_reason));
    });
  });
}
