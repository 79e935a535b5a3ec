#include "host/screens/win32/error_screen.h"

#include "host/core/message_poster.h"
#include "host/screens/faq_address.h"
#include "host/screens/error_screen_end.h"

namespace tavc {
namespace {

constexpr int kDialog = 221;
constexpr int kErrorLine = 1039;
constexpr int kUrlCaption = 1008;
constexpr int kUrlField = 1007;

}  // namespace

ErrorScreen::ErrorScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, kDialog, L"ErrorScreen") {}

void ErrorScreen::OnInitDialog() {
  SetCaption(3007);
  SetText(kErrorLine, Error().GetMessage());
  SetText(kUrlCaption, 3313);
  const std::uint32_t l_address = ErrorScreenFaqAddress(Error().GetMessageId());
  if (l_address != 0) SetText(kUrlField, l_address);
  SetUpUrlFont();
  SetText(IDOK, 3100);
  SetUpVersionButton();
  SetUpBanner({kErrorLine, kUrlCaption, kUrlField, IDOK});
  if (l_address == 0) {
    HideObject(kUrlCaption);
    HideObject(kUrlField);
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
