#include "host/screens/win32/card_request_screen.h"

#include "host/resources/resource_ids.h"
#include "host/screens/faq_address.h"
#include "host/state/message_poster.h"
#include "host/state/request_modes.h"

namespace tavc {
namespace {

constexpr int kMessage = -1;

}  // namespace

CardRequestScreen::CardRequestScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_CARD_REQUEST, L"CardRequestScreen") {}

void CardRequestScreen::OnInitDialog() {
  SetCaption(3002);
  SetText(IDC_ERROR_LINE, Error().GetMessage());
  SetText(kMessage, IsGpkiMode(Store().GetMode()) ? 2065 : 2003);
  SetText(IDC_URL_CAPTION, 3313);
  const std::uint32_t l_address = CardRequestFaqAddress(Error().GetMessageId());
  if (l_address != 0) SetText(IDC_URL_FIELD, l_address);
  SetUpUrlFont();
  if (l_address != 0) FitUrlField({IDOK, IDCANCEL});
  SetText(IDCANCEL, 3101);
  SetText(IDOK, 3100);
  SetUpVersionButton();
  if (Error().GetCode().empty()) HideObject(IDC_ERROR_LINE);
  SetUpBanner({kMessage, IDC_ERROR_LINE, IDC_URL_CAPTION, IDC_URL_FIELD, IDOK, IDCANCEL});
  if (l_address == 0) {
    HideObject(IDC_URL_CAPTION);
    HideObject(IDC_URL_FIELD);
  }
}

bool CardRequestScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND || LOWORD(in_l_wparam) != IDOK || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  DeleteBanner();
  Post(WM_APP01, 0);
  out_l_result = TRUE;
  return true;
}

}  // namespace tavc
