#include "host/screens/win32/card_request_screen.h"

#include "host/core/message_poster.h"
#include "host/screens/faq_address.h"

namespace tavc {
namespace {

constexpr int kDialog = 207;
constexpr int kMessage = -1;
constexpr int kErrorLine = 1039;
constexpr int kUrlCaption = 1008;
constexpr int kUrlField = 1007;

bool IsGpkiMode(const std::wstring& in_l_mode) {
  return in_l_mode == L"11" || in_l_mode == L"12" || in_l_mode == L"13";
}

}  // namespace

CardRequestScreen::CardRequestScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, kDialog, L"CardRequestScreen") {}

void CardRequestScreen::OnInitDialog() {
  SetCaption(3002);
  SetText(kErrorLine, Error().GetMessage());
  SetText(kMessage, IsGpkiMode(Store().GetMode()) ? 2065 : 2003);
  SetText(kUrlCaption, 3313);
  const std::uint32_t l_address = CardRequestFaqAddress(Error().GetMessageId());
  if (l_address != 0) SetText(kUrlField, l_address);
  SetUpUrlFont();
  SetText(IDCANCEL, 3101);
  SetText(IDOK, 3100);
  SetUpVersionButton();
  if (Error().GetCode().empty()) HideObject(kErrorLine);
  SetUpBanner({kMessage, kErrorLine, kUrlCaption, kUrlField, IDOK, IDCANCEL});
  if (l_address == 0) {
    HideObject(kUrlCaption);
    HideObject(kUrlField);
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
