#include "host/screens/win32/password_change_screen.h"

#include <imm.h>


#include "common/secure_wipe.h"
#include "host/resources/resource_ids.h"
#include "host/screens/screen_titles.h"
#include "host/screens/win32/bold_font.h"
#include "host/screens/win32/error_line_growth.h"
#include "host/screens/win32/password_field.h"
#include "host/screens/win32/screen_opener.h"
#include "host/state/message_poster.h"

namespace tavc {
namespace {

constexpr int kFields[] = {IDC_CURRENT_PASSWORD, IDC_NEW_PASSWORD, IDC_CONFIRM_PASSWORD};
constexpr int kNarrowFieldWidth = 125;

bool IsField(int in_l_id) { return in_l_id == kFields[0] || in_l_id == kFields[1] || in_l_id == kFields[2]; }

}  // namespace

PasswordChangeScreen::PasswordChangeScreen(HINSTANCE in_l_instance, ScreenFactory& io_l_factory,
                                           const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_PASSWORD_CHANGE, L"PasswordChangeScreen"),
      m_factory_(io_l_factory),
      m_rule_(PasswordChangeRuleFor(in_l_request.data_store->GetMode(), in_l_request.data_store->GetPasswordType())) {}

void PasswordChangeScreen::OnInitDialog() {
  SetCaption(ScreenTitleId(ScreenKind::kPasswordChange, Store().GetMode()));
  SetText(IDC_PROMPT, m_rule_.prompt_id);
  SetText(IDC_CURRENT_LABEL, 135);
  SetText(IDC_NEW_LABEL, 136);
  SetText(IDC_CONFIRM_LABEL, 137);
  SetText(IDC_SHOW_PASSWORD, 3300);
  SetText(IDOK, 3100);
  SetText(IDCANCEL, 3101);
  EnableWindow(Item(IDOK), FALSE);
  // Cancel is not drawn as the default button.
  SendDlgItemMessageW(Window(), IDCANCEL, BM_SETSTYLE, BS_PUSHBUTTON | BS_CENTER, TRUE);
  for (const int l_field : kFields) {
    SendDlgItemMessageW(Window(), l_field, EM_SETLIMITTEXT, static_cast<WPARAM>(m_rule_.limit), 0);
    // No input method: a composition would hold the password outside the field.
    ImmAssociateContext(Item(l_field), nullptr);
  }
  if (m_rule_.limit == 4) {
    NarrowFields();
    CheckDlgButton(Window(), IDC_SHOW_PASSWORD, BST_UNCHECKED);
  }
  if (m_rule_.shown_at_start) {
    CheckDlgButton(Window(), IDC_SHOW_PASSWORD, BST_CHECKED);
    OnClickDisplayCheck();
  }
  SetUpVersionButton();
  const HFONT l_bold = KeepFont(BoldCopyOf(Item(IDC_ERROR_LINE)));
  if (l_bold != nullptr) {
    SendDlgItemMessageW(Window(), IDC_ERROR_LINE, WM_SETFONT, reinterpret_cast<WPARAM>(l_bold), TRUE);
  }
  const std::wstring l_message = Error().GetMessage();
  if (l_message.empty()) {
    CollapseErrorLine();
  } else {
    SetText(IDC_ERROR_LINE, l_message);
  }
  ShowOrigin();
}

int PasswordChangeScreen::GrowthReserve() const {
  return Height(IDC_ERROR_LINE) == 0 ? m_error_line_height_ : 0;
}

void PasswordChangeScreen::NarrowFields() const {
  for (const int l_id : kFields) {
    RECT l_rect{};
    GetWindowRect(Item(l_id), &l_rect);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_rect), 2);
    MoveWindow(Item(l_id), l_rect.left, l_rect.top, ScaleX(kNarrowFieldWidth), l_rect.bottom - l_rect.top, TRUE);
  }
}

void PasswordChangeScreen::CollapseErrorLine() {
  m_error_line_height_ = Height(IDC_ERROR_LINE);
  RECT l_rect{};
  GetWindowRect(Item(IDC_ERROR_LINE), &l_rect);
  MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_rect), 2);
  MoveWindow(Item(IDC_ERROR_LINE), l_rect.left, l_rect.top, l_rect.right - l_rect.left, 0, TRUE);
  MoveWindowObjects({IDC_CURRENT_LABEL, IDC_CURRENT_PASSWORD, IDC_NEW_LABEL, IDC_NEW_PASSWORD, IDC_CONFIRM_LABEL,
                     IDC_CONFIRM_PASSWORD, IDC_SHOW_PASSWORD, IDOK, IDCANCEL},
                    m_error_line_height_);
  ShrinkDialog(m_error_line_height_);
}

void PasswordChangeScreen::OnChar(int in_l_field) const {
  // The GPKI password is otherwise taken as typed.
  KeepPasswordFieldText(Item(in_l_field), static_cast<std::size_t>(m_rule_.limit),
                        [this](const std::wstring& in_l_text) { return FilterChangedPassword(m_rule_, in_l_text); });
}

void PasswordChangeScreen::OnUpdatePassword() const {
  bool l_enough = true;
  for (const int l_id : kFields) l_enough = l_enough && GetWindowTextLengthW(Item(l_id)) >= m_rule_.minimum;
  EnableWindow(Item(IDOK), l_enough ? TRUE : FALSE);
}

void PasswordChangeScreen::OnClickDisplayCheck() {
  const bool l_shown = IsDlgButtonChecked(Window(), IDC_SHOW_PASSWORD) == BST_CHECKED;
  if (l_shown && m_password_char_ == 0) {
    m_password_char_ = static_cast<wchar_t>(SendDlgItemMessageW(Window(), kFields[0], EM_GETPASSWORDCHAR, 0, 0));
  }
  for (const int l_id : kFields) {
    const HWND l_field = Item(l_id);
    SendMessageW(l_field, EM_SETPASSWORDCHAR, l_shown ? 0 : m_password_char_, 0);
    if (l_shown) ImmAssociateContext(l_field, nullptr);
    SetWindowPos(l_field, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(l_field, nullptr, TRUE);
    SetFocus(l_field);
  }
  SetFocus(Item(IDC_SHOW_PASSWORD));
}

void PasswordChangeScreen::OnOk() {
  // Enter reaches a disabled OK too: nothing happens before every field holds enough.
  if (IsWindowEnabled(Item(IDOK)) == FALSE) return;
  Error().SetError(L"", L"", L"", L"");
  std::wstring l_current = PasswordFieldText(Item(IDC_CURRENT_PASSWORD));
  std::wstring l_new = PasswordFieldText(Item(IDC_NEW_PASSWORD));
  std::wstring l_confirmation = PasswordFieldText(Item(IDC_CONFIRM_PASSWORD));
  ScopedWipe<std::wstring> l_wipe_current(l_current);
  ScopedWipe<std::wstring> l_wipe_new(l_new);
  ScopedWipe<std::wstring> l_wipe_confirmation(l_confirmation);
  const std::wstring l_code = TakePasswordChange(Store(), l_current, l_new, l_confirmation);
  if (!l_code.empty()) {
    Error().SetError(l_code, L"", L"", L"");
    DisplayError();
    return;
  }
  // The typed texts stay in the store only.
  for (const int l_id : kFields) SetWindowTextW(Item(l_id), L"");
  Post(WM_APP03, 0);
}

void PasswordChangeScreen::DisplayError() {
  SetText(IDC_ERROR_LINE, Error().GetMessage());
  for (const int l_id : kFields) SetWindowTextW(Item(l_id), L"");
  if (Height(IDC_ERROR_LINE) == 0 && m_error_line_height_ > 0) {
    const int l_height = m_error_line_height_;
    RECT l_line{};
    GetWindowRect(Item(IDC_ERROR_LINE), &l_line);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_line), 2);
    MoveWindow(Item(IDC_ERROR_LINE), l_line.left, l_line.top, l_line.right - l_line.left, l_height, TRUE);
    MoveWindowObjects({IDOK, IDCANCEL, IDC_SHOW_PASSWORD, IDC_CONFIRM_PASSWORD, IDC_CONFIRM_LABEL, IDC_NEW_PASSWORD,
                       IDC_NEW_LABEL, IDC_CURRENT_PASSWORD, IDC_CURRENT_LABEL},
                      -l_height);
    GrowForErrorLine(Frame(), Window(), Store(), l_height);
  }
  SetFocus(Window());
}

void PasswordChangeScreen::OnCancel() {
  if (Store().GetMode() == RequestMode::kGpkiPasswordChange) {
    OnClose();
    return;
  }
  OpenNextScreen(m_factory_, Request(), ScreenKind::kPasswordSelect);
}

bool PasswordChangeScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND) return false;
  out_l_result = TRUE;
  const int l_id = LOWORD(in_l_wparam);
  const int l_code = HIWORD(in_l_wparam);
  if (IsField(l_id) && l_code == EN_UPDATE) {
    OnChar(l_id);
    return true;
  }
  if (IsField(l_id) && l_code == EN_CHANGE) {
    OnUpdatePassword();
    return true;
  }
  if (l_code != BN_CLICKED) return false;
  switch (l_id) {
    case IDOK:
      OnOk();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    case IDC_SHOW_PASSWORD:
      OnClickDisplayCheck();
      return true;
    default:
      return false;
  }
}

}  // namespace tavc
