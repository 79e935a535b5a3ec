#include "host/app/qt/tav_main.h"

#include <csignal>

#include <QApplication>
#include <QTimer>

#include "common/qt/japanese_first.h"
#include "host/app/qt/qt_frame.h"
#include "host/resources/message_texts.h"
#include "platform/own_version.h"
#include "platform/single_instance.h"

namespace tavc {
namespace {

constexpr std::uint32_t kSingleInstanceName = 3308;

}  // namespace

int RunTav(const std::function<void(QtFrame&)>& in_l_attach) {
  // A page that went away closes the answer's pipe: the write fails, the run still ends.
  std::signal(SIGPIPE, SIG_IGN);
  // TAV reads no command line: nothing a caller passes reaches Qt's options.
  static int s_argc = 1;
  static char s_name[] = "TAV";
  static char* s_argv[] = {s_name, nullptr};
  QApplication l_application(s_argc, s_argv);
  PreferJapanese();
  platform::SingleInstanceLock l_single_instance;
  QtFrame l_frame(QtFrameServices{platform::ProcessStdStreams(),
                                  &platform::ReadOwnProductVersion,
                                  platform::ProcessInputPipe(),
                                  platform::SystemSCardApi(),
                                  platform::ProcessUserRegistry(),
                                  [&] { return l_single_instance.Take(LoadMessageText(kSingleInstanceName)); },
                                  [&] { l_single_instance.Release(); }});
  QObject::connect(&l_frame, &QtFrame::Ended, &l_application, &QCoreApplication::quit, Qt::QueuedConnection);
  if (in_l_attach) in_l_attach(l_frame);
  QTimer::singleShot(0, &l_frame, [&l_frame] { l_frame.Start(); });
  QApplication::exec();
  // The wrapper reads the answer, not the exit code: TAV ends with 0 on every path.
  return 0;
}

}  // namespace tavc
