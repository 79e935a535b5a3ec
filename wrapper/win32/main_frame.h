#pragma once
// The wrapper's hidden frame window: starts TAV, relays its one answer to the
// browser and forwards a cancel. Hosts the certificate-file dialog when the
// request needs a file.
#include <windows.h>

#include <string>

#include "wrapper/receive_data.h"
#include "wrapper/win32/child_process.h"
#include "wrapper/win32/dialogs.h"

// One per run; it owns its window and the file dialog in it.
class CMainFrame final : private FileDialogEvents {
 public:
  CMainFrame() = default;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Takes the request and opens the frame; nullptr when the run has ended
  // already (with its answer, should the frame fail to open).
  HWND Create(const ReceiveData& in_request, int in_show) noexcept;
  bool IsDialogMessageOfFrame(MSG& in_msg);

 private:
  HWND OpenWindow(int in_show);
  static LRESULT CALLBACK WindowProc(HWND in_window, UINT in_message, WPARAM in_w, LPARAM in_l);
  // False for a message the frame leaves to the system.
  bool OnMessage(UINT in_message, LPARAM in_l);
  // The frame's catch boundary: the run ends with the answer of the code
  // (unless the page has its answer already), never the process.
  void EndWithError(const wchar_t* in_code) noexcept;
  void OnFileChosen(const std::wstring& in_path, const std::wstring& in_password) override;
  void OnEndChosen() override;
  void OnDialogFailed() noexcept override;
  void SendCancelMessage();
  void ExitApp();
  void OnCreate();
  void OnReceiveStartChild();
  void OnReceiveMessageFromChild(ReceiveData& in_message);
  void OnReceiveMessageFromParent(const ReceiveData& in_message);
  void OnReceiveDisConnectFromChild();
  void OnReceiveDisConnectFromParent();
  void OnReceiveTooLargeFromChild();
  void OnClose();
  void CheckPostedMessage();
  void ReleaseChild(bool in_until_gone);
  bool RequestTaken();
  void ResizeFrame();
  void SetVisible();
  void SetUnvisible();
  void WriteToBrowser(const std::wstring& in_text);
  // The browser gets exactly one answer: whatever comes after it is dropped.
  void AnswerBrowser(const ReceiveData& in_answer);

  HWND m_hWnd = nullptr;
  CFileSelectorDlg m_fileDlg;
  ReceiveData m_request;   // g_JsonDataStdIn: what TAV gets
  ReceiveData m_unedited;  // the request as the browser sent it
  bool m_transparent = false;  // g_TransMessageFlag
  ChildProcess m_child;
  RequestWriter m_writer;
  bool m_requestTaken = false;  // the child has read its whole request
  bool m_answered = false;
};
