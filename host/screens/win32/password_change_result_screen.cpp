#include "host/screens/win32/password_change_result_screen.h"

#include "host/resources/resource_ids.h"
#include "host/screens/password_change_rules.h"
#include "host/screens/screen_titles.h"
#include "host/state/message_poster.h"

namespace tavc {

PasswordChangeResultScreen::PasswordChangeResultScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_PASSWORD_CHANGE_RESULT, L"PasswordChangeResultScreen"),
      m_password_type_(in_l_request.data_store->GetPasswordType()) {}

void PasswordChangeResultScreen::OnInitDialog() {
  const RequestMode l_mode = Store().GetMode();
  SetCaption(ScreenTitleId(ScreenKind::kPasswordChangeResult, l_mode));
  const std::wstring l_message = Error().GetMessage();
  if (l_message.empty()) {
    SetText(-1, PasswordChangeSuccessTextId(l_mode, m_password_type_));
  } else {
    SetText(-1, l_message);
  }
  SetText(IDOK, 3100);
  SetUpVersionButton();
  Store().SetPasswordType(0);
  Store().SetPassword(L"");
  Store().SetNewPassword(L"");
}

bool PasswordChangeResultScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND || LOWORD(in_l_wparam) != IDOK || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  out_l_result = TRUE;
  // Another password may be changed on the My Number card; the GPKI card has one.
  if (Store().GetMode() == RequestMode::kGpkiPasswordChange) {
    Post(WM_APP05, 0);
  } else {
    Post(WM_APP01, 0);
  }
  return true;
}

}  // namespace tavc
