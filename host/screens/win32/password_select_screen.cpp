#include "host/screens/win32/password_select_screen.h"

#include "host/resources/resource_ids.h"
#include "host/screens/password_change_rules.h"
#include "host/screens/screen_titles.h"
#include "host/screens/win32/bold_font.h"
#include "host/screens/win32/screen_opener.h"

namespace tavc {
namespace {

struct Choice {
  int radio;
  std::uint32_t text;
  int description;
  std::uint32_t description_text;
};

constexpr Choice kChoices[] = {
    {IDC_RADIO_SIGNATURE, 130, IDC_DESCRIPTION_SIGNATURE, 3304},
    {IDC_RADIO_AUTHENTICATION, 131, IDC_DESCRIPTION_AUTHENTICATION, 3305},
    {IDC_RADIO_SURFACE, 133, IDC_DESCRIPTION_SURFACE, 3306},
};

}  // namespace

PasswordSelectScreen::PasswordSelectScreen(HINSTANCE in_l_instance, ScreenFactory& io_l_factory,
                                           const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_PASSWORD_SELECT, L"PasswordSelectScreen"),
      m_factory_(io_l_factory) {}

void PasswordSelectScreen::OnInitDialog() {
  SetCaption(ScreenTitleId(ScreenKind::kPasswordSelect, Store().GetMode()));
  SetText(-1, 2036);
  const HFONT l_bold = KeepFont(BoldCopyOf(Item(IDC_RADIO_SIGNATURE)));
  for (const Choice& l_choice : kChoices) {
    SetText(l_choice.radio, l_choice.text);
    SetText(l_choice.description, l_choice.description_text);
    if (l_bold != nullptr) {
      SendDlgItemMessageW(Window(), l_choice.radio, WM_SETFONT, reinterpret_cast<WPARAM>(l_bold), TRUE);
    }
  }
  const int l_radio = PasswordSelectRadioFor(Store().GetPasswordType());
  if (l_radio != 0) CheckRadioButton(Window(), IDC_RADIO_SIGNATURE, IDC_RADIO_SURFACE, l_radio);
  SetText(IDOK, 3100);
  SetText(IDCANCEL, 3101);
  SetUpVersionButton();
}

void PasswordSelectScreen::OnOk() {
  int l_type = 0;
  for (const Choice& l_choice : kChoices) {
    if (IsDlgButtonChecked(Window(), l_choice.radio) == BST_CHECKED) l_type = PasswordTypeOfRadio(l_choice.radio);
  }
  if (l_type == 0) return;
  Error().SetError(L"", L"", L"", L"");
  Store().SetPasswordType(l_type);
  OpenNextScreen(m_factory_, Request(), ScreenKind::kPasswordChange);
}

bool PasswordSelectScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND || LOWORD(in_l_wparam) != IDOK || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  out_l_result = TRUE;
  OnOk();
  return true;
}

}  // namespace tavc
