// TAV_Wrapper on Linux: the browser's native-messaging host in front of TAV.
#include <signal.h>
#include <unistd.h>

#include "platform/single_instance.h"
#include "wrapper/posix/fd_channel.h"
#include "wrapper/posix/main_frame.h"
#include "wrapper/qt/qt_wrapper_ui.h"
#include "wrapper/relay_rules.h"
#include "wrapper/request_intake.h"
#include "wrapper/wrapper_texts.h"

namespace {

constexpr char kChildProgram[] = "TAV";

// The wrapper's own answer, when TAV is never started.
void Answer(const std::wstring& in_request, const std::wstring& in_code) {
  ReceiveData l_answer;
  l_answer.SetDataSize(1);
  l_answer.SetData(OwnAnswer(in_request, L"1", in_code));
  const StopSignal l_never;
  FdSink l_output(STDOUT_FILENO, l_never);
  static_cast<void>(WriteFrame(l_output, l_answer));
}

int Run() {
  EventQueue l_queue;
  QtWrapperUi l_ui(l_queue);
  ReceiveData l_request;
  {
    const StopSignal l_never;
    FdSource l_stdin(STDIN_FILENO, l_never);
    const Intake l_intake = TakeRequest(l_stdin, l_request);
    if (l_intake == Intake::kNoRequest) {
      l_ui.ShowLoneError(WrapperText(IDS_NOT_FROM_BROWSER));
      return 0;
    }
    if (l_intake != Intake::kTaken) {
      // With the mode of what was read, if anything was.
      Answer(l_request.GetData(), RefusalCode(l_intake));
      l_request.Clear();
      return 0;
    }
  }

  tavc::platform::SingleInstanceLock l_lock;
  if (l_lock.Take(WrapperText(IDS_MUTEX_NAME)) != 0) {
    // The page has its answer and the name is let go before the box waits for
    // the user: an open box must not keep every site refused.
    Answer(l_request.GetData(), wrapper_codes::kSecondInstance);
    l_request.Clear();
    l_lock.Release();
    l_ui.ShowLoneError(wrapper_codes::kSecondInstance, STDIN_FILENO);
    return 0;
  }

  CMainFrame l_frame(l_queue, l_ui, {STDIN_FILENO, STDOUT_FILENO, ProgramBesideSelf(kChildProgram)});
  l_frame.Create(l_request);
  l_request.Clear();
  l_frame.Run();
  return 1;
}

}  // namespace

int main() {
  // A write to a pipe whose reader has gone fails with EPIPE, never ends the wrapper.
  signal(SIGPIPE, SIG_IGN);
  try {
    return Run();
  } catch (...) {
    // Past every other boundary (the wrapper's own answers and boxes): the
    // process still ends in order.
    return 1;
  }
}
