#pragma once
// The wrapper's three dialogs: the certificate-file dialog inside the frame,
// the end confirmation and the error box.
#include <windows.h>

#include <string>

#include "common/win32/origin_block.h"
#include "wrapper/file_dialog_events.h"

// Modal error box owned by the active window; takes a code or a whole text.
class CErrorMessageDlg {
 public:
  void SetMessage(const std::wstring& in_code_or_text);
  // The box also closes by itself once this input ends (the page has gone).
  void CloseWhenEnded(HANDLE in_input) { m_input = in_input; }
  void DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_dialog, UINT in_message, WPARAM in_w, LPARAM in_l);
  void OnInitDialog(HWND in_dialog) const;
  std::wstring m_text;
  HANDLE m_input = nullptr;
};

// Modal "end the application?" box.
class CEndConfirmDlg {
 public:
  EndChoice DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_dialog, UINT in_message, WPARAM in_w, LPARAM in_l);
};

// The certificate-file dialog, a modeless child of the frame. Its OK hands the
// chosen file and password to the frame, which starts TAV with them.
class CFileSelectorDlg {
 public:
  // Shows the request's origin, when it names one, above the guide.
  HWND Create(HWND in_frame, const std::wstring& in_request, FileDialogEvents& in_events);
  HWND GetHwnd() const { return m_hWnd; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_dialog, UINT in_message, WPARAM in_w, LPARAM in_l);
  INT_PTR OnMessage(UINT in_message, WPARAM in_w);
  void OnInitDialog();
  void OnBnClickedButtonRef();
  void OnBnClickedCheckViewPassword();
  void OnBnClickedButtonOk();
  void OnBnClickedButtonCancel();

  HWND m_hWnd = nullptr;
  HWND m_hFrame = nullptr;
  FileDialogEvents* m_events = nullptr;
  wchar_t m_passwordChar = 0;
  bool m_hasOrigin = false;
  tavc::RequestOrigin m_origin;
  tavc::OriginBlock m_originBlock;
};

// A string resource of the wrapper.
std::wstring LoadWrapperString(UINT in_id);
