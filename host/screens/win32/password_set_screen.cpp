#include "host/screens/win32/password_set_screen.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>

#include "common/secure_wipe.h"
#include "host/resources/resource_ids.h"
#include "host/screens/origin_notice.h"
#include "host/screens/screen_titles.h"
#include "host/screens/win32/error_line_growth.h"
#include "host/screens/win32/password_field.h"
#include "host/state/message_poster.h"

namespace tavc {
namespace {

constexpr int kNarrowFieldWidth = 125;
constexpr int kLinkLineHeight = 32;

}  // namespace

PasswordSetScreen::PasswordSetScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_PASSWORD_SET, L"PasswordSetScreen"),
      m_rule_(PasswordRuleFor(in_l_request.data_store->GetMode())) {
  SetEnglish(std::wstring(PasswordScreenLanguage(Store().GetMode(), Store().GetLanguage())) == L"en");
}

void PasswordSetScreen::OnInitDialog() {
  const RequestMode l_mode = Store().GetMode();
  SetCaption(ScreenTitleId(ScreenKind::kPasswordEntry, l_mode));
  SetText(IDC_PROMPT, m_rule_.prompt_id);
  CheckDlgButton(Window(), IDC_SHOW_PASSWORD, BST_UNCHECKED);
  SetText(IDC_SHOW_PASSWORD, 3300);
  EnableWindow(Item(IDOK), FALSE);
  SetText(IDOK, 3100);
  SetText(IDCANCEL, 3101);
  SetText(IDC_CHANGE_LINK, 3307);
  // Cancel is not drawn as the default button.
  SendDlgItemMessageW(Window(), IDCANCEL, BM_SETSTYLE, BS_PUSHBUTTON | BS_CENTER, TRUE);
  SendDlgItemMessageW(Window(), IDC_PASSWORD, EM_SETLIMITTEXT, static_cast<WPARAM>(m_rule_.limit), 0);
  // No input method on the field, also while show-password takes its password
  // style away: a composition would hold the password outside the field.
  ImmAssociateContext(Item(IDC_PASSWORD), nullptr);
  if (m_rule_.limit == 4) NarrowField();
  SetUpVersionButton();
  SetUpBanner({IDC_PROMPT, IDC_ERROR_LINE, IDC_PASSWORD, IDC_SHOW_PASSWORD, IDOK, IDCANCEL, IDC_CHANGE_LINK});
  const std::wstring l_message = Error().GetMessage();
  if (l_message.empty()) {
    m_error_line_height_ = Height(IDC_ERROR_LINE);
    RECT l_rect{};
    GetWindowRect(Item(IDC_ERROR_LINE), &l_rect);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_rect), 2);
    MoveWindow(Item(IDC_ERROR_LINE), l_rect.left, l_rect.top, l_rect.right - l_rect.left, 0, TRUE);
    MoveWindowObjects({IDC_PASSWORD, IDC_SHOW_PASSWORD, IDOK, IDCANCEL, IDC_CHANGE_LINK}, m_error_line_height_);
    ShrinkDialog(m_error_line_height_);
  } else {
    SetText(IDC_ERROR_LINE, l_message);
  }
  if (!PasswordChangeLinkShown(l_mode, Store().GetPwChange())) {
    ShowWindow(Item(IDC_CHANGE_LINK), SW_HIDE);
    ShrinkDialog(ScaleY(kLinkLineHeight));
  }
  ShowOrigin(SignatureCountNotice(Store()));
}

int PasswordSetScreen::GrowthReserve() const { return Height(IDC_ERROR_LINE) == 0 ? m_error_line_height_ : 0; }

void PasswordSetScreen::NarrowField() const {
  RECT l_field{};
  RECT l_dialog{};
  GetWindowRect(Item(IDC_PASSWORD), &l_field);
  MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_field), 2);
  GetWindowRect(Window(), &l_dialog);
  const int l_width = ScaleX(kNarrowFieldWidth);
  const int l_left = (l_dialog.right - l_dialog.left) / 2 - l_width / 2;
  MoveWindow(Item(IDC_PASSWORD), l_left, l_field.top, l_width, l_field.bottom - l_field.top, TRUE);
}

void PasswordSetScreen::OnChar() {
  KeepPasswordFieldText(Item(IDC_PASSWORD), static_cast<std::size_t>(m_rule_.limit),
                        [this](const std::wstring& in_l_text) { return FilterPassword(m_rule_, in_l_text); });
}

void PasswordSetScreen::OnUpdatePassword() const {
  EnableWindow(Item(IDOK), GetWindowTextLengthW(Item(IDC_PASSWORD)) >= m_rule_.minimum ? TRUE : FALSE);
}

void PasswordSetScreen::OnClickDisplayCheck() {
  const HWND l_field = Item(IDC_PASSWORD);
  if (IsDlgButtonChecked(Window(), IDC_SHOW_PASSWORD) == BST_CHECKED) {
    if (m_password_char_ == 0) m_password_char_ = static_cast<wchar_t>(SendMessageW(l_field, EM_GETPASSWORDCHAR, 0, 0));
    SendMessageW(l_field, EM_SETPASSWORDCHAR, 0, 0);
  } else {
    SendMessageW(l_field, EM_SETPASSWORDCHAR, m_password_char_, 0);
  }
  SetWindowPos(l_field, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  InvalidateRect(l_field, nullptr, TRUE);
  SetFocus(l_field);
  SetFocus(Item(IDC_SHOW_PASSWORD));
}

int PasswordSetScreen::CheckPassword() const {
  std::wstring l_text = PasswordFieldText(Item(IDC_PASSWORD));
  ScopedWipe<std::wstring> l_wipe(l_text);
  const bool l_valid = std::all_of(l_text.begin(), l_text.end(),
                                   [&](wchar_t in_l_unit) { return PasswordCharacterAllowed(m_rule_, in_l_unit); });
  if (l_valid) return 0;
  Error().SetError(m_rule_.invalid_code, L"", L"", L"");
  return 1;
}

void PasswordSetScreen::OnOk() {
  Error().SetError(L"", L"", L"", L"");
  std::wstring l_text = PasswordFieldText(Item(IDC_PASSWORD));
  ScopedWipe<std::wstring> l_wipe(l_text);
  if (m_rule_.upper_case) {
    std::transform(l_text.begin(), l_text.end(), l_text.begin(), [](wchar_t in_l_unit) {
      return in_l_unit >= L'a' && in_l_unit <= L'z' ? in_l_unit - L'a' + L'A' : in_l_unit;
    });
  }
  if (CheckPassword() != 0) {
    DisplayError();
    return;
  }
  DeleteBanner();
  Store().SetPassword(l_text);
  // The typed text stays in the store only.
  SetWindowTextW(Item(IDC_PASSWORD), L"");
  Post(WM_APP03, 0);
}

void PasswordSetScreen::DisplayError() {
  SetText(IDC_ERROR_LINE, Error().GetMessage());
  SetWindowTextW(Item(IDC_PASSWORD), L"");
  if (Height(IDC_ERROR_LINE) == 0 && m_error_line_height_ > 0) {
    const int l_height = m_error_line_height_;
    RECT l_line{};
    GetWindowRect(Item(IDC_ERROR_LINE), &l_line);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_line), 2);
    MoveWindow(Item(IDC_ERROR_LINE), l_line.left, l_line.top, l_line.right - l_line.left, l_height, TRUE);
    MoveWindowObjects({IDC_CHANGE_LINK, IDCANCEL, IDOK, IDC_SHOW_PASSWORD, IDC_PASSWORD}, -l_height);
    GrowForErrorLine(Frame(), Window(), Store(), l_height);
  }
  SetFocus(Window());
}

void PasswordSetScreen::OnLink() {
  Store().SetCancelType(1);
  DeleteBanner();
  Post(WM_APP04, 0);
}

bool PasswordSetScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam, INT_PTR& out_l_result) {
  out_l_result = TRUE;
  if (in_l_message == WM_NOTIFY) {
    const auto* l_notify = reinterpret_cast<const NMHDR*>(in_l_lparam);
    if (l_notify->idFrom != IDC_CHANGE_LINK || (l_notify->code != NM_CLICK && l_notify->code != NM_RETURN))
      return false;
    OnLink();
    return true;
  }
  if (in_l_message != WM_COMMAND) return false;
  const int l_id = LOWORD(in_l_wparam);
  const int l_code = HIWORD(in_l_wparam);
  if (l_id == IDC_PASSWORD && l_code == EN_UPDATE) {
    OnChar();
    return true;
  }
  if (l_id == IDC_PASSWORD && l_code == EN_CHANGE) {
    OnUpdatePassword();
    return true;
  }
  if (l_code != BN_CLICKED) return false;
  if (l_id == IDOK) {
    OnOk();
    return true;
  }
  if (l_id == IDC_SHOW_PASSWORD) {
    OnClickDisplayCheck();
    return true;
  }
  return false;
}

}  // namespace tavc
