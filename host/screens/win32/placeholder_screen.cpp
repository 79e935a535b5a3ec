#include "host/screens/win32/placeholder_screen.h"

#include <algorithm>
#include <vector>

#include "common/secure_wipe.h"
#include "host/core/frame_message_poster.h"
#include "host/resources/message_texts.h"
#include "host/resources/resource_ids.h"
#include "host/screens/screen_titles.h"
#include "host/screens/win32/end_alert_dialog.h"

namespace tavc {
namespace {

constexpr std::uint32_t kOkText = 3100;
constexpr std::uint32_t kCancelText = 3101;
// Longest text taken from a field.
constexpr int kMaxFieldLength = 256;

void OpenEndAlert(HINSTANCE in_l_instance, ErrorInfo* in_l_error_info, DataStore* in_l_data_store) {
  EndAlertDialog l_dialog(in_l_instance);
  l_dialog.Initialize(in_l_error_info, in_l_data_store);
  l_dialog.DoModal();
}

// As the event controller shows a screen: created now, shown by the frame.
void OpenScreen(ScreenFactory& io_l_factory, ScreenRequest in_l_request, ScreenKind in_l_kind) {
  in_l_request.kind = in_l_kind;
  std::unique_ptr<Screen> l_screen = io_l_factory.CreateScreen(in_l_request);
  if (!l_screen || !l_screen->Create()) return;
  Screen* l_posted = l_screen.release();
  if (!FrameMessagePoster(*in_l_request.data_store).Post(WM_TVNNOTIFY, 0, reinterpret_cast<std::intptr_t>(l_posted))) {
    std::unique_ptr<Screen> l_lost(l_posted);
    l_lost->DestroyWindow();
  }
}

}  // namespace

PlaceholderScreen::PlaceholderScreen(HINSTANCE in_l_instance, ScreenFactory& in_l_factory,
                                     const ScreenRequest& in_l_request)
    : m_instance_(in_l_instance), m_factory_(in_l_factory), m_request_(in_l_request) {}

PlaceholderScreen::~PlaceholderScreen() { DestroyWindow(); }

bool PlaceholderScreen::Create() {
  if (m_window_ != nullptr) return true;
  const HWND l_frame = static_cast<HWND>(m_request_.data_store->GetScreenHandle());
  // WM_INITDIALOG stores the handle before this returns.
  return CreateDialogParamW(m_instance_, MAKEINTRESOURCEW(IDD_PLACEHOLDER_SCREEN), l_frame, DialogProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void PlaceholderScreen::Show() {
  // The first screen reaches the frame without having been created.
  if (!Create()) return;
  ShowWindow(m_window_, SW_SHOW);
  SetFocus(m_window_);
}

bool PlaceholderScreen::IsWindow() const { return m_window_ != nullptr && ::IsWindow(m_window_) != FALSE; }

void PlaceholderScreen::DestroyWindow() {
  if (IsWindow()) ::DestroyWindow(m_window_);
  m_window_ = nullptr;
}

void PlaceholderScreen::OnInitDialog() {
  PlaceholderOnOpen(m_request_);
  const DataStore& l_store = *m_request_.data_store;
  SetWindowTextW(static_cast<HWND>(l_store.GetScreenHandle()),
                 LoadMessageText(ScreenTitleId(m_request_.kind, l_store.GetMode())).c_str());
  SetDlgItemTextW(m_window_, IDC_PLACEHOLDER_NAME, ScreenClassName(m_request_.kind));
  // The dialog is named for the screen it stands for, as the real screens are.
  SetWindowTextW(m_window_, ScreenClassName(m_request_.kind));
  SetDlgItemTextW(m_window_, IDC_PLACEHOLDER_MESSAGE, m_request_.error_info->GetMessage().c_str());
  const int l_fields = PlaceholderFieldCount(m_request_.kind);
  if (l_fields < 2) ShowWindow(GetDlgItem(m_window_, IDC_PLACEHOLDER_SECOND), SW_HIDE);
  if (l_fields < 1) ShowWindow(GetDlgItem(m_window_, IDC_PLACEHOLDER_FIRST), SW_HIDE);
  SetDlgItemTextW(m_window_, IDOK, LoadMessageText(kOkText).c_str());
  SetDlgItemTextW(m_window_, IDCANCEL, LoadMessageText(kCancelText).c_str());
}

void PlaceholderScreen::ReadField(int in_l_id, std::wstring& out_l_text) {
  std::vector<wchar_t> l_buffer(kMaxFieldLength + 1, L'\0');
  ScopedWipe<std::vector<wchar_t>> l_wipe(l_buffer);
  const UINT l_length = GetDlgItemTextW(m_window_, in_l_id, l_buffer.data(), kMaxFieldLength + 1);
  out_l_text.assign(l_buffer.data(), std::min<std::size_t>(l_length, kMaxFieldLength));
  // The typed text stays in the store only.
  SetDlgItemTextW(m_window_, in_l_id, L"");
}

void PlaceholderScreen::OnOk() {
  PlaceholderOutcome l_outcome;
  {
    PlaceholderInput l_input;
    const int l_fields = PlaceholderFieldCount(m_request_.kind);
    if (l_fields >= 1) ReadField(IDC_PLACEHOLDER_FIRST, l_input.first);
    if (l_fields >= 2) ReadField(IDC_PLACEHOLDER_SECOND, l_input.second);
    l_outcome = PlaceholderOnOk(m_request_, l_input);
  }
  Carry(l_outcome);
}

void PlaceholderScreen::OnClose() { Carry(PlaceholderOnClose(m_request_)); }

void PlaceholderScreen::Carry(const PlaceholderOutcome& in_l_outcome) {
  switch (in_l_outcome.step) {
    case PlaceholderStep::kPost:
      FrameMessagePoster(*m_request_.data_store).Post(in_l_outcome.message, in_l_outcome.wparam, 0);
      break;
    case PlaceholderStep::kOpenScreen: OpenScreen(m_factory_, m_request_, in_l_outcome.next); break;
    case PlaceholderStep::kEndAlert:
      // Messages the frame takes while the alert is open may replace this screen.
      OpenEndAlert(m_instance_, m_request_.error_info, m_request_.data_store);
      break;
    case PlaceholderStep::kNothing: break;
  }
}

INT_PTR CALLBACK PlaceholderScreen::DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam,
                                               LPARAM in_l_lparam) {
  if (in_l_message == WM_INITDIALOG) {
    auto* l_self = reinterpret_cast<PlaceholderScreen*>(in_l_lparam);
    SetWindowLongPtrW(in_l_dialog, DWLP_USER, in_l_lparam);
    l_self->m_window_ = in_l_dialog;
    l_self->OnInitDialog();
    return TRUE;
  }
  auto* l_self = reinterpret_cast<PlaceholderScreen*>(GetWindowLongPtrW(in_l_dialog, DWLP_USER));
  if (l_self == nullptr) return FALSE;
  if (in_l_message == WM_NCDESTROY) {
    SetWindowLongPtrW(in_l_dialog, DWLP_USER, 0);
    l_self->m_window_ = nullptr;
    return FALSE;
  }
  if (in_l_message != WM_COMMAND || HIWORD(in_l_wparam) != BN_CLICKED) return FALSE;
  // Escape arrives as IDCANCEL.
  switch (LOWORD(in_l_wparam)) {
    case IDOK: l_self->OnOk(); return TRUE;
    case IDCANCEL: l_self->OnClose(); return TRUE;
    default: return FALSE;
  }
}

}  // namespace tavc
