// TAV_Wrapper.exe: the browser's native-messaging host in front of TAV.exe.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "wrapper/relay_rules.h"
#include "wrapper/request_intake.h"
#include "wrapper/win32/dialogs.h"
#include "wrapper/win32/main_frame.h"
#include "wrapper/win32/pipe_io.h"
#include "wrapper/win32/wrapper_resource.h"

namespace {

void ShowError(const std::wstring& in_code_or_text) {
  CErrorMessageDlg l_box;
  l_box.SetMessage(in_code_or_text);
  l_box.DoModal();
}

// The wrapper's own answer, when TAV is never started.
void Answer(const std::wstring& in_request, const std::wstring& in_code) {
  ReceiveData l_answer;
  l_answer.SetDataSize(1);
  l_answer.SetData(OwnAnswer(in_request, L"1", in_code));
  WriteJson(GetStdHandle(STD_OUTPUT_HANDLE)).Write(l_answer);
}

int Run(int in_show) {
  ReceiveData l_request;
  HandleSource l_stdin(GetStdHandle(STD_INPUT_HANDLE));
  const Intake l_intake = TakeRequest(l_stdin, l_request);
  if (l_intake == Intake::kNoRequest) {
    ShowError(LoadWrapperString(IDS_NOT_FROM_BROWSER));
    return 0;
  }
  if (l_intake != Intake::kTaken) {
    // With the mode of what was read, if anything was.
    Answer(l_request.GetData(), RefusalCode(l_intake));
    l_request.Clear();
    return 0;
  }

  const HANDLE l_mutex = CreateMutexW(nullptr, TRUE, LoadWrapperString(IDS_MUTEX_NAME).c_str());
  const DWORD l_mutex_error = GetLastError();
  if (l_mutex == nullptr || l_mutex_error == ERROR_ALREADY_EXISTS || l_mutex_error == ERROR_ACCESS_DENIED) {
    // The page has its answer and the name is let go before the box waits for
    // the user: an open box must not keep every site refused.
    Answer(l_request.GetData(), wrapper_codes::kSecondInstance);
    l_request.Clear();
    if (l_mutex != nullptr) CloseHandle(l_mutex);
    CErrorMessageDlg l_box;
    l_box.SetMessage(wrapper_codes::kSecondInstance);
    l_box.CloseWhenEnded(GetStdHandle(STD_INPUT_HANDLE));
    l_box.DoModal();
    return 0;
  }

  CMainFrame l_frame;
  const HWND l_window = l_frame.Create(l_request, in_show);
  l_request.Clear();
  int l_exit = 1;
  if (l_window != nullptr) {
    MSG l_msg;
    while (GetMessageW(&l_msg, nullptr, 0, 0) > 0) {
      if (l_frame.IsDialogMessageOfFrame(l_msg)) continue;
      TranslateMessage(&l_msg);
      DispatchMessageW(&l_msg);
    }
    l_exit = static_cast<int>(l_msg.wParam);
  }
  ReleaseMutex(l_mutex);
  CloseHandle(l_mutex);
  return l_exit;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int in_show) {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX l_controls = {sizeof(l_controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&l_controls);
  int l_exit = 1;
  try {
    l_exit = Run(in_show);
  } catch (...) {
    // Past every other boundary (the wrapper's own answers and boxes): the
    // process still ends in order.
  }
  CoUninitialize();
  return l_exit;
}
