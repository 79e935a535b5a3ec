#include "host/screens/win32/end_alert_dialog.h"

#include "host/resources/message_texts.h"
#include "host/resources/resource_ids.h"
#include "host/screens/win32/ui_language.h"

namespace tavc {

void EndAlertDialog::Initialize(ErrorInfo* in_l_error_info, DataStore* in_l_data_store) {
  if (in_l_data_store == nullptr) return;
  m_data_store_ = in_l_data_store;
  m_poster_ = std::make_unique<FrameMessagePoster>(*in_l_data_store);
  m_alert_ = std::make_unique<EndAlert>(*m_poster_);
  m_alert_->Initialize(in_l_error_info, in_l_data_store);
  PreferUiLanguage(L"ja-JP");
}

INT_PTR EndAlertDialog::DoModal() {
  if (!m_alert_) return -1;
  return DialogBoxParamW(m_instance_, MAKEINTRESOURCEW(IDD_END_ALERT),
                         static_cast<HWND>(m_data_store_->GetScreenHandle()), DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void EndAlertDialog::OnInitDialog(HWND in_l_dialog) {
  // A second alert records its error and still asks; its answers then only cancel.
  m_alert_->OnInitDialog();
  SetWindowTextW(in_l_dialog, LoadJapaneseText(EndAlert::kCaptionText).c_str());
  SetDlgItemTextW(in_l_dialog, IDC_END_ALERT_TEXT, LoadJapaneseText(EndAlert::kQuestionText).c_str());
  SetDlgItemTextW(in_l_dialog, IDOK, LoadJapaneseText(EndAlert::kOkText).c_str());
  SetDlgItemTextW(in_l_dialog, IDCANCEL, LoadJapaneseText(EndAlert::kCancelText).c_str());
}

INT_PTR CALLBACK EndAlertDialog::DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam,
                                            LPARAM in_l_lparam) {
  if (in_l_message == WM_INITDIALOG) {
    SetWindowLongPtrW(in_l_dialog, DWLP_USER, in_l_lparam);
    reinterpret_cast<EndAlertDialog*>(in_l_lparam)->OnInitDialog(in_l_dialog);
    return TRUE;
  }
  auto* l_self = reinterpret_cast<EndAlertDialog*>(GetWindowLongPtrW(in_l_dialog, DWLP_USER));
  if (l_self == nullptr || in_l_message != WM_COMMAND) return FALSE;
  // The close box and Escape arrive as IDCANCEL.
  switch (LOWORD(in_l_wparam)) {
    case IDOK:
      l_self->m_alert_->OnOK();
      EndDialog(in_l_dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      l_self->m_alert_->OnCancel();
      EndDialog(in_l_dialog, IDCANCEL);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace tavc
