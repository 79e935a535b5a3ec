#include "wrapper/win32/main_frame.h"

#include <memory>

#include "wrapper/origin_member.h"
#include "wrapper/relay_rules.h"
#include "wrapper/win32/pipe_io.h"

namespace {

constexpr UINT kMsgStartChild = 0x8001;
constexpr UINT kMsgDisconnectChild = 0x8002;   // MSG_01_DISCONNECT_CHILD
constexpr UINT kMsgDisconnectParent = 0x8003;  // MSG_02_DISCONNECT_PARENT
constexpr UINT kMsgFromChild = 0x8004;
constexpr UINT kMsgFromParent = 0x8005;
constexpr UINT kMsgChildTooLarge = 0x8006;  // TAV's answer is larger than a browser takes
// A thread failed unexpectedly: the watch of the page's frames, the reader of
// TAV's answer, the writer of the request.
constexpr UINT kMsgParentFailed = 0x8007;
constexpr UINT kMsgChildFailed = 0x8008;
constexpr UINT kMsgWriterFailed = 0x8009;
constexpr wchar_t kFrameClass[] = L"TAV_WrapperFrame";
// TAV reads its request first: one that has not taken it by then never will.
constexpr DWORD kRequestTakenMs = 1000;
constexpr DWORD kPollMs = 20;
// An old TAV that has answered ends within this time, or is ended.
constexpr DWORD kChildEndsMs = 3000;

void CloseIfOpen(HANDLE& io_handle) {
  if (io_handle != nullptr) CloseHandle(io_handle);
  io_handle = nullptr;
}

}  // namespace

HWND CMainFrame::Create(const ReceiveData& in_request, int in_show) noexcept {
  try {
    // The request to send (the file dialog edits it) and the request as read.
    m_request = in_request;
    m_unedited = in_request;
    return OpenWindow(in_show);
  } catch (...) {
    EndWithError(wrapper_codes::kFrameFailed);
    return nullptr;
  }
}

HWND CMainFrame::OpenWindow(int in_show) {
  WNDCLASSEXW l_class = {};
  l_class.cbSize = sizeof(l_class);
  l_class.lpfnWndProc = WindowProc;
  l_class.hInstance = GetModuleHandleW(nullptr);
  l_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  l_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  l_class.lpszClassName = kFrameClass;
  RegisterClassExW(&l_class);
  const DWORD l_style = WS_OVERLAPPEDWINDOW & ~(WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME);
  m_hWnd = CreateWindowExW(WS_EX_LAYERED, kFrameClass, L"", l_style, CW_USEDEFAULT, CW_USEDEFAULT, 300, 200, nullptr,
                           nullptr, GetModuleHandleW(nullptr), this);
  if (m_hWnd == nullptr) return nullptr;
  OnCreate();
  if (!m_transparent) ShowWindow(m_hWnd, in_show);
  return m_hWnd;
}

bool CMainFrame::IsDialogMessageOfFrame(MSG& in_msg) {
  return m_fileDlg.GetHwnd() != nullptr && IsDialogMessageW(m_fileDlg.GetHwnd(), &in_msg);
}

LRESULT CALLBACK CMainFrame::WindowProc(HWND in_window, UINT in_message, WPARAM in_w, LPARAM in_l) {
  if (in_message == WM_NCCREATE) {
    const auto* l_create = reinterpret_cast<const CREATESTRUCTW*>(in_l);
    SetWindowLongPtrW(in_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(l_create->lpCreateParams));
  } else if (in_message == WM_DESTROY) {
    PostQuitMessage(1);
    return 0;
  }
  auto* l_self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(in_window, GWLP_USERDATA));
  if (l_self != nullptr) {
    // No exception may unwind through the system's window code.
    try {
      if (l_self->OnMessage(in_message, in_l)) return 0;
    } catch (...) {
      l_self->EndWithError(wrapper_codes::kFrameFailed);
      return 0;
    }
  }
  return DefWindowProcW(in_window, in_message, in_w, in_l);
}

bool CMainFrame::OnMessage(UINT in_message, LPARAM in_l) {
  switch (in_message) {
    case kMsgStartChild: OnReceiveStartChild(); return true;
    case kMsgDisconnectChild: OnReceiveDisConnectFromChild(); return true;
    case kMsgDisconnectParent: OnReceiveDisConnectFromParent(); return true;
    case kMsgChildTooLarge: OnReceiveTooLargeFromChild(); return true;
    case kMsgParentFailed: EndWithError(wrapper_codes::kPageReaderFailed); return true;
    case kMsgChildFailed: EndWithError(wrapper_codes::kAnswerReaderFailed); return true;
    case kMsgWriterFailed: EndWithError(wrapper_codes::kRequestWriterFailed); return true;
    case kMsgFromChild:
    case kMsgFromParent: {
      // The reader thread handed its frame over with the message.
      const std::unique_ptr<ReceiveData> l_message(reinterpret_cast<ReceiveData*>(in_l));
      if (!l_message) return true;
      if (in_message == kMsgFromChild) {
        OnReceiveMessageFromChild(*l_message);
      } else {
        OnReceiveMessageFromParent(*l_message);
      }
      return true;
    }
    case WM_CLOSE: OnClose(); return true;
    default: return false;
  }
}

void CMainFrame::EndWithError(const wchar_t* in_code) noexcept {
  try {
    WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"1", in_code));
  } catch (...) {
    // Not even the answer could be built: the page sees the wrapper end.
  }
  ExitApp();
}

void CMainFrame::OnDialogFailed() noexcept { EndWithError(wrapper_codes::kFrameFailed); }

void CMainFrame::OnCreate() {
  m_fileDlg.Create(m_hWnd, m_unedited.GetData(), *this);
  ResizeFrame();
  StartParentWatch(GetStdHandle(STD_INPUT_HANDLE), m_hWnd, kMsgFromParent, kMsgDisconnectParent, kMsgParentFailed);
  SetUnvisible();
  // A malformed origin goes to TAV unasked, to be refused there.
  tavc::RequestOrigin l_origin;
  if (NeedsCertificateFile(m_unedited.GetData()) &&
      OriginMemberOf(m_unedited.GetData(), l_origin) != OriginMember::kMalformed) {
    SetVisible();
  } else {
    m_transparent = true;
    PostMessageW(m_hWnd, kMsgStartChild, 0, 0);
  }
}

void CMainFrame::ResizeFrame() {
  RECT l_client = {};
  GetClientRect(m_fileDlg.GetHwnd(), &l_client);
  const int l_width = l_client.right + GetSystemMetrics(SM_CXVSCROLL);
  const int l_height = l_client.bottom + GetSystemMetrics(SM_CYSIZE) + GetSystemMetrics(SM_CYHSCROLL);
  const int l_x = (GetSystemMetrics(SM_CXSCREEN) - l_width) / 2;
  const int l_y = (GetSystemMetrics(SM_CYSCREEN) - l_height) / 2;
  SetWindowPos(m_hWnd, HWND_TOPMOST, l_x, l_y, l_width, l_height, SWP_HIDEWINDOW);
  SetWindowPos(m_hWnd, HWND_NOTOPMOST, l_x, l_y, l_width, l_height, SWP_HIDEWINDOW);
  SetForegroundWindow(m_hWnd);
}

void CMainFrame::SetVisible() {
  SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_DLGMODALFRAME);
  ShowWindow(m_hWnd, SW_SHOW);
}

void CMainFrame::SetUnvisible() {
  SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_LAYERED);
  ShowWindow(m_hWnd, SW_HIDE);
}

void CMainFrame::OnFileChosen(const std::wstring& in_path, const std::wstring& in_password) {
  m_request.Clear();
  m_request.SetData(RequestWithFile(m_unedited.GetData(), in_path, in_password));
  if (!FitsChildFrame(m_request.GetData())) {
    // TAV would refuse it on every attempt: the page learns it at once.
    m_request.Clear();
    WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"1", wrapper_codes::kRequestTooLarge));
    ExitApp();
    return;
  }
  m_request.SetDataSize(1);
  PostMessageW(m_hWnd, kMsgStartChild, 0, 0);
}

void CMainFrame::OnReceiveStartChild() {
  SetUnvisible();
  // Never two TAVs: the one of an earlier attempt is gone first.
  ReleaseChild(true);
  if (CreateChildProcess(m_child) != ChildStart::kStarted) {
    SetVisible();
    CErrorMessageDlg l_box;
    l_box.SetMessage(wrapper_codes::kChildNotStarted);
    l_box.DoModal();
    CheckPostedMessage();
    return;
  }
  // The answer is read while the request is still being written.
  StartFrameReader(m_child.output, m_hWnd, {kMsgFromChild, kMsgDisconnectChild, kMsgChildTooLarge, kMsgChildFailed});
  m_writer.Start(m_child.input, m_request.GetData(), m_hWnd, kMsgWriterFailed);
  if (!m_transparent) m_request.Clear();
}

void CMainFrame::WriteToBrowser(const std::wstring& in_text) {
  ReceiveData l_answer;
  l_answer.SetDataSize(1);
  l_answer.SetData(in_text);
  AnswerBrowser(l_answer);
}

void CMainFrame::AnswerBrowser(const ReceiveData& in_answer) {
  if (m_answered) return;
  m_answered = true;
  WriteJson(GetStdHandle(STD_OUTPUT_HANDLE)).Write(in_answer);
}

void CMainFrame::OnReceiveMessageFromChild(ReceiveData& in_message) {
  if (m_transparent) {
    SetUnvisible();
  } else {
    SetVisible();
  }
  switch (DecideOnChildAnswer(m_transparent, in_message.GetData())) {
    case ChildAnswerAction::kRelayAndEnd:
      AnswerBrowser(in_message);
      ExitApp();
      break;
    case ChildAnswerAction::kRetryWithFile:
      ReleaseChild(true);
      SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
      SetFocus(m_fileDlg.GetHwnd());
      break;
    case ChildAnswerAction::kIgnore:
      // Not relayed, and that child has said its one answer: it goes too.
      ReleaseChild(true);
      break;
  }
}

void CMainFrame::OnReceiveTooLargeFromChild() {
  // The browser would drop the connection on such a message: the page gets a
  // clear error instead. Closing the pipe ends TAV's write.
  ReleaseChild(false);
  WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"1", wrapper_codes::kAnswerTooLarge));
  ExitApp();
}

void CMainFrame::OnReceiveMessageFromParent(const ReceiveData& in_message) {
  if (!m_transparent) SetVisible();
  switch (DecideOnParentMessage(in_message.GetData(), m_child.input != nullptr)) {
    case ParentMessageAction::kForwardCancelAndEnd:
      // A child that has not taken its request cannot take the cancel either.
      m_requestTaken = m_requestTaken || RequestTaken();
      if (m_requestTaken && m_writer.Start(m_child.input, in_message.GetData(), m_hWnd, kMsgWriterFailed)) {
        m_writer.Finish(kRequestTakenMs);
        Sleep(500);
      }
      ExitApp();
      break;
    case ParentMessageAction::kEnd: ExitApp(); break;
    case ParentMessageAction::kIgnore: break;
  }
}

void CMainFrame::OnReceiveDisConnectFromChild() {
  if (!m_transparent) SetVisible();
  ExitApp();
}

void CMainFrame::OnReceiveDisConnectFromParent() {
  if (!m_transparent) SetUnvisible();
  ExitApp();
}

void CMainFrame::CheckPostedMessage() {
  MSG l_msg;
  if (PeekMessageW(&l_msg, m_hWnd, kMsgDisconnectChild, kMsgDisconnectParent, PM_NOREMOVE)) ExitApp();
}

void CMainFrame::ReleaseChild(bool in_until_gone) {
  // The output first: a child blocked writing its answer then fails.
  CloseIfOpen(m_child.output);
  if (m_child.process == nullptr) return;
  m_requestTaken = m_requestTaken || RequestTaken();
  // From here a write to a child that is gone fails.
  CloseIfOpen(m_child.unread);
  bool l_gone = false;
  if (!m_requestTaken) {
    // Hung before reading, or never reads: it would outlive the wrapper.
    TerminateProcess(m_child.process, 1);
    l_gone = WaitForSingleObject(m_child.process, kChildEndsMs) == WAIT_OBJECT_0;
    m_writer.Finish(kRequestTakenMs);
  }
  CloseIfOpen(m_child.input);
  if (in_until_gone && !l_gone && WaitForSingleObject(m_child.process, kChildEndsMs) != WAIT_OBJECT_0) {
    TerminateProcess(m_child.process, 1);
    WaitForSingleObject(m_child.process, kChildEndsMs);
  }
  // With the child gone, a write still under way has failed: the writer is
  // free for the next child.
  if (in_until_gone) m_writer.Finish(kRequestTakenMs);
  CloseIfOpen(m_child.process);
  m_requestTaken = false;
}

bool CMainFrame::RequestTaken() {
  for (DWORD l_waited = 0;; l_waited += kPollMs) {
    // Written whole, and nothing of it left in the pipe: the child has read it.
    DWORD l_unread = 0;
    if (m_writer.Finish(0) && PeekNamedPipe(m_child.unread, nullptr, 0, nullptr, &l_unread, nullptr) &&
        l_unread == 0) {
      return true;
    }
    if (l_waited >= kRequestTakenMs) return false;
    Sleep(kPollMs);
  }
}

void CMainFrame::SendCancelMessage() { WriteToBrowser(OwnAnswer(m_unedited.GetData(), L"9", L"")); }

void CMainFrame::ExitApp() {
  ReleaseChild(false);
  m_request.Clear();
  if (m_hWnd != nullptr) DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
}

void CMainFrame::OnEndChosen() {
  SendCancelMessage();
  ExitApp();
}

void CMainFrame::OnClose() {
  // TAV's answer may have ended the run while the confirmation was open.
  if (CEndConfirmDlg().DoModal() == EndChoice::kStay || m_hWnd == nullptr) return;
  OnEndChosen();
}
