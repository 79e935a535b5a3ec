#include "host/screens/win32/error_screen.h"

#include "host/resources/resource_ids.h"
#include "host/screens/error_screen_end.h"
#include "host/screens/faq_address.h"
#include "host/state/message_poster.h"

namespace tavc {

ErrorScreen::ErrorScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_ERROR, L"ErrorScreen") {}

void ErrorScreen::OnInitDialog() {
  SetCaption(3007);
  SetText(IDC_ERROR_LINE, Error().GetMessage());
  SetText(IDC_URL_CAPTION, 3313);
  const std::uint32_t l_address = ErrorScreenFaqAddress(Error().GetMessageId());
  if (l_address != 0) SetText(IDC_URL_FIELD, l_address);
  SetUpUrlFont();
  if (l_address != 0) FitUrlField({IDOK});
  SetText(IDOK, 3100);
  SetUpVersionButton();
  SetUpBanner({IDC_ERROR_LINE, IDC_URL_CAPTION, IDC_URL_FIELD, IDOK});
  if (l_address == 0) {
    HideObject(IDC_URL_CAPTION);
    HideObject(IDC_URL_FIELD);
  }
}

void ErrorScreen::OnClose() {
  DeleteBanner();
  Post(WM_APP04, ErrorScreenEndParam(Store(), Error()));
}

bool ErrorScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  // No Cancel button: Escape does nothing here.
  if (LOWORD(in_l_wparam) == IDCANCEL) {
    out_l_result = TRUE;
    return true;
  }
  if (LOWORD(in_l_wparam) != IDOK) return false;
  OnClose();
  out_l_result = TRUE;
  return true;
}

}  // namespace tavc
