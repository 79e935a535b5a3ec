#pragma once
// The wrapper's hidden frame window: starts TAV, relays its one answer to the
// browser and forwards a cancel. Hosts the certificate-file dialog when the
// request needs a file.
#include <windows.h>

#include <string>

#include "wrapper/receive_data.h"
#include "wrapper/win32/child_process.h"
#include "wrapper/win32/dialogs.h"

class CMainFrame {
 public:
  static CMainFrame& Instance();

  // The request as read and the request to send (edited by the file dialog).
  void SetRequest(const ReceiveData& in_request);
  HWND Create(int in_show);
  bool IsDialogMessageOfFrame(MSG& in_msg);

  void StartWithFile(const std::wstring& in_path, const std::wstring& in_password);
  void SendCancelMessage();
  void ExitApp();

 private:
  static LRESULT CALLBACK WindowProc(HWND in_window, UINT in_message, WPARAM in_w, LPARAM in_l);
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
