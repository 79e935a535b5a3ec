#include "wrapper/win32/dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <vector>

#include "common/secure_wipe.h"
#include "wrapper/error_message_text.h"
#include "wrapper/origin_member.h"
#include "wrapper/win32/pipe_io.h"
#include "wrapper/win32/wrapper_resource.h"

std::wstring LoadWrapperString(UINT in_id) {
  const wchar_t* l_text = nullptr;
  const int l_length = LoadStringW(GetModuleHandleW(nullptr), in_id, reinterpret_cast<LPWSTR>(&l_text), 0);
  return l_length > 0 ? std::wstring(l_text, static_cast<std::size_t>(l_length)) : std::wstring();
}

namespace {

void SetItemString(HWND in_dialog, int in_item, UINT in_string) {
  SetDlgItemTextW(in_dialog, in_item, LoadWrapperString(in_string).c_str());
}

std::wstring ItemText(HWND in_dialog, int in_item) {
  const HWND l_item = GetDlgItem(in_dialog, in_item);
  std::wstring l_text(static_cast<std::size_t>(GetWindowTextLengthW(l_item)) + 1, L'\0');
  l_text.resize(static_cast<std::size_t>(GetWindowTextW(l_item, l_text.data(), static_cast<int>(l_text.size()))));
  return l_text;
}

// The last file chosen in this process: the next browse starts there.
std::wstring g_lastFileName;

}  // namespace

void CErrorMessageDlg::SetMessage(const std::wstring& in_code_or_text) { m_text = ErrorBoxText(in_code_or_text); }

void CErrorMessageDlg::DoModal() {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ERROR_MESSAGE), GetActiveWindow(), DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CErrorMessageDlg::DialogProc(HWND in_dialog, UINT in_message, WPARAM in_w, LPARAM in_l) {
  if (in_message == WM_INITDIALOG) {
    // No exception may unwind through the system's dialog code: a box that
    // cannot fill itself closes.
    try {
      reinterpret_cast<const CErrorMessageDlg*>(in_l)->OnInitDialog(in_dialog);
    } catch (...) {
      EndDialog(in_dialog, IDCANCEL);
    }
    return TRUE;
  }
  if (in_message == WM_COMMAND && (LOWORD(in_w) == IDOK || LOWORD(in_w) == IDCANCEL)) {
    EndDialog(in_dialog, IDOK);
    return TRUE;
  }
  return FALSE;
}

void CErrorMessageDlg::OnInitDialog(HWND in_dialog) const {
  SetWindowTextW(in_dialog, LoadWrapperString(IDS_ERROR_CAPTION).c_str());
  SetDlgItemTextW(in_dialog, IDC_STATIC_MESSAGE, m_text.c_str());
  SetItemString(in_dialog, IDOK, IDS_OK);
  if (m_input != nullptr) StartParentWatch(m_input, in_dialog, 0, WM_CLOSE, 0);
  SetForegroundWindow(in_dialog);
}

EndChoice CEndConfirmDlg::DoModal() {
  const INT_PTR l_button = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_END_CONFIRM),
                                           GetActiveWindow(), DialogProc, 0);
  return l_button == IDCANCEL ? EndChoice::kStay : EndChoice::kEnd;
}

INT_PTR CALLBACK CEndConfirmDlg::DialogProc(HWND in_dialog, UINT in_message, WPARAM in_w, LPARAM) {
  if (in_message == WM_INITDIALOG) {
    // As for the error box; a confirmation that cannot show ends nothing.
    try {
      SetWindowTextW(in_dialog, LoadWrapperString(IDS_END_CAPTION).c_str());
      SetItemString(in_dialog, IDC_STATIC_MESSAGE, IDS_END_TEXT);
      SetItemString(in_dialog, IDOK, IDS_OK);
      SetItemString(in_dialog, IDCANCEL, IDS_CANCEL);
      SetForegroundWindow(in_dialog);
    } catch (...) {
      EndDialog(in_dialog, IDCANCEL);
    }
    return TRUE;
  }
  if (in_message == WM_COMMAND && (LOWORD(in_w) == IDOK || LOWORD(in_w) == IDCANCEL)) {
    EndDialog(in_dialog, LOWORD(in_w));
    return TRUE;
  }
  return FALSE;
}

HWND CFileSelectorDlg::Create(HWND in_frame, const std::wstring& in_request, FileDialogEvents& in_events) {
  m_hFrame = in_frame;
  m_events = &in_events;
  m_hasOrigin = OriginMemberOf(in_request, m_origin) == OriginMember::kWellFormed;
  m_hWnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FILE_SELECTOR), in_frame, DialogProc,
                              reinterpret_cast<LPARAM>(this));
  return m_hWnd;
}

INT_PTR CALLBACK CFileSelectorDlg::DialogProc(HWND in_dialog, UINT in_message, WPARAM in_w, LPARAM in_l) {
  if (in_message == WM_INITDIALOG) {
    SetWindowLongPtrW(in_dialog, DWLP_USER, in_l);
    reinterpret_cast<CFileSelectorDlg*>(in_l)->m_hWnd = in_dialog;
  }
  auto* l_self = reinterpret_cast<CFileSelectorDlg*>(GetWindowLongPtrW(in_dialog, DWLP_USER));
  if (l_self == nullptr) return FALSE;
  // No exception may unwind through the system's dialog code.
  try {
    return l_self->OnMessage(in_message, in_w);
  } catch (...) {
    l_self->m_events->OnDialogFailed();
    return TRUE;
  }
}

INT_PTR CFileSelectorDlg::OnMessage(UINT in_message, WPARAM in_w) {
  if (in_message == WM_INITDIALOG) {
    OnInitDialog();
    return TRUE;
  }
  if (in_message != WM_COMMAND || HIWORD(in_w) != BN_CLICKED) return FALSE;
  switch (LOWORD(in_w)) {
    case IDC_BUTTON_REF: OnBnClickedButtonRef(); return TRUE;
    case IDC_CHECK_VIEW_PASSWORD: OnBnClickedCheckViewPassword(); return TRUE;
    case IDOK:
    case IDC_BUTTON_OK: OnBnClickedButtonOk(); return TRUE;
    case IDCANCEL:
    case IDC_BUTTON_CANCEL: OnBnClickedButtonCancel(); return TRUE;
    default: return FALSE;
  }
}

void CFileSelectorDlg::OnInitDialog() {
  SetWindowTextW(m_hFrame, LoadWrapperString(IDS_FILE_CAPTION).c_str());
  SetItemString(m_hWnd, IDC_STATIC_GUIDE, IDS_FILE_GUIDE);
  SetItemString(m_hWnd, IDC_STATIC_FILE_LABEL, IDS_FILE_LABEL);
  SetItemString(m_hWnd, IDC_STATIC_PASSWORD_LABEL, IDS_PASSWORD_LABEL);
  SetItemString(m_hWnd, IDC_CHECK_VIEW_PASSWORD, IDS_VIEW_PASSWORD);
  SetItemString(m_hWnd, IDC_BUTTON_OK, IDS_OK);
  SetItemString(m_hWnd, IDC_BUTTON_CANCEL, IDS_CANCEL);
  SetItemString(m_hWnd, IDC_BUTTON_REF, IDS_REF);
  EnableWindow(GetDlgItem(m_hWnd, IDC_BUTTON_OK), TRUE);
  m_passwordChar = static_cast<wchar_t>(SendDlgItemMessageW(m_hWnd, IDC_EDIT_PASSWORD, EM_GETPASSWORDCHAR, 0, 0));
  if (m_hasOrigin) {
    const std::wstring l_label = LoadWrapperString(IDS_ORIGIN_LABEL);
    m_originBlock.Insert(m_hWnd, tavc::OriginPieces(l_label, tavc::SplitOriginForDisplay(m_origin)), {},
                         IDC_ORIGIN_FIRST, {});
  }
}

void CFileSelectorDlg::OnBnClickedCheckViewPassword() {
  const bool l_checked = IsDlgButtonChecked(m_hWnd, IDC_CHECK_VIEW_PASSWORD) == BST_CHECKED;
  SendDlgItemMessageW(m_hWnd, IDC_EDIT_PASSWORD, EM_SETPASSWORDCHAR, l_checked ? 0 : m_passwordChar, 0);
  InvalidateRect(GetDlgItem(m_hWnd, IDC_EDIT_PASSWORD), nullptr, TRUE);
  SetFocus(GetDlgItem(m_hWnd, IDC_EDIT_PASSWORD));
}

void CFileSelectorDlg::OnBnClickedButtonRef() {
  wchar_t l_file[MAX_PATH] = {};
  wchar_t l_title[MAX_PATH] = {};
  wchar_t l_desktop[MAX_PATH] = {};
  OPENFILENAMEW l_ofn = {};
  l_ofn.lStructSize = sizeof(l_ofn);
  l_ofn.hwndOwner = m_hFrame;
  // Pairs of a name and its pattern, each ending in a zero, the list in a second.
  std::wstring l_filter = LoadWrapperString(IDS_FILTER_CERTIFICATE);
  l_filter.append(1, L'\0').append(L"*.p12").append(1, L'\0').append(LoadWrapperString(IDS_FILTER_ALL));
  l_filter.append(1, L'\0').append(L"*.*").append(2, L'\0');
  const std::wstring l_title_text = LoadWrapperString(IDS_CHOOSE_FILE_TITLE);
  l_ofn.lpstrFile = l_file;
  l_ofn.nMaxFile = MAX_PATH;
  l_ofn.lpstrFileTitle = l_title;
  l_ofn.nMaxFileTitle = MAX_PATH;
  l_ofn.lpstrFilter = l_filter.c_str();
  l_ofn.lpstrTitle = l_title_text.c_str();
  l_ofn.Flags = OFN_FILEMUSTEXIST;
  if (g_lastFileName.empty()) {
    if (SHGetSpecialFolderPathW(m_hWnd, l_desktop, CSIDL_DESKTOPDIRECTORY, FALSE)) l_ofn.lpstrInitialDir = l_desktop;
  } else {
    lstrcpynW(l_file, g_lastFileName.c_str(), MAX_PATH);
  }
  if (!GetOpenFileNameW(&l_ofn)) return;
  SetDlgItemTextW(m_hWnd, IDC_EDIT_FILE, l_file);
  g_lastFileName = l_file;
}

void CFileSelectorDlg::OnBnClickedButtonOk() {
  const std::wstring l_file = ItemText(m_hWnd, IDC_EDIT_FILE);
  std::wstring l_password = ItemText(m_hWnd, IDC_EDIT_PASSWORD);
  const tavc::ScopedWipe<std::wstring> l_wipe(l_password);
  SetDlgItemTextW(m_hWnd, IDC_EDIT_PASSWORD, L"");
  if (l_file.empty() || l_password.empty()) {
    CErrorMessageDlg l_box;
    l_box.SetMessage(LoadWrapperString(IDS_FILE_OR_PASSWORD_MISSING));
    l_box.DoModal();
    return;
  }
  m_events->OnFileChosen(l_file, l_password);
}

void CFileSelectorDlg::OnBnClickedButtonCancel() {
  if (CEndConfirmDlg().DoModal() == EndChoice::kStay) return;
  DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  m_events->OnEndChosen();
}
