// TAV_Wrapper.exe: the browser's native-messaging host in front of TAV.exe.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "wrapper/frame_reader.h"
#include "wrapper/relay_rules.h"
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
  switch (ReadFrame(l_stdin, l_request)) {
    case FrameStatus::kFrame: break;
    case FrameStatus::kOverLimit:
      // Refused from the prefix alone: the body is never allocated.
      Answer(L"", wrapper_codes::kRequestTooLarge);
      return 0;
    case FrameStatus::kNoFrame:
    case FrameStatus::kEmpty:
    case FrameStatus::kCutShort:
      ShowError(L"直接起動することはできません。\n各種サービスのウェブサイトから利用してください。");
      return 0;
  }
  if (l_request.GetData().empty()) {
    Answer(L"", wrapper_codes::kRequestNotText);
    return 0;
  }
  if (CarriesCredential(l_request.GetData())) {
    // A page may not choose the file TAV opens nor sign with it unseen.
    Answer(l_request.GetData(), wrapper_codes::kCredentialFromPage);
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

  CMainFrame& l_frame = CMainFrame::Instance();
  l_frame.SetRequest(l_request);
  l_request.Clear();
  int l_exit = 1;
  if (l_frame.Create(in_show) != nullptr) {
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
  const int l_exit = Run(in_show);
  CoUninitialize();
  return l_exit;
}
