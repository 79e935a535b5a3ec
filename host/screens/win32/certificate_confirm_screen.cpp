#include "host/screens/win32/certificate_confirm_screen.h"

#include "host/resources/resource_ids.h"
#include "host/screens/certificate_confirm_items.h"
#include "host/screens/screen_titles.h"
#include "host/state/message_poster.h"

namespace tavc {
namespace {

// UTC to the user's time zone, as the system converts it.
bool SystemLocalTime(const CivilTime& in_l_utc, CivilTime& out_l_local) {
  SYSTEMTIME l_utc{};
  l_utc.wYear = static_cast<WORD>(in_l_utc.year);
  l_utc.wMonth = static_cast<WORD>(in_l_utc.month);
  l_utc.wDay = static_cast<WORD>(in_l_utc.day);
  l_utc.wHour = static_cast<WORD>(in_l_utc.hour);
  l_utc.wMinute = static_cast<WORD>(in_l_utc.minute);
  l_utc.wSecond = static_cast<WORD>(in_l_utc.second);
  SYSTEMTIME l_local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &l_utc, &l_local)) return false;
  out_l_local = CivilTime{l_local.wYear, l_local.wMonth, l_local.wDay, l_local.wHour, l_local.wMinute, l_local.wSecond};
  return true;
}

}  // namespace

CertificateConfirmScreen::CertificateConfirmScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_CERTIFICATE_CONFIRM, L"CertificateConfirmScreen") {}

void CertificateConfirmScreen::OnInitDialog() {
  SetCaption(ScreenTitleId(ScreenKind::kCertificateConfirm, Store().GetMode()));
  SetText(-1, 2061);
  const std::array<std::wstring, 8> l_values = ConfirmValues(Request().certificate, SystemLocalTime);
  for (std::size_t l_i = 0; l_i < kConfirmItems.size(); ++l_i) {
    SetText(kConfirmItems[l_i].label_id, kConfirmItems[l_i].label_text);
    SetText(kConfirmItems[l_i].value_id, l_values[l_i]);
  }
  SetText(IDOK, 3100);
  SetText(IDCANCEL, 3101);
  SetUpVersionButton();
  ShowOrigin();
}

std::vector<BaseWindow::FieldMinimum> CertificateConfirmScreen::ScrollingFields() const {
  // As high as a one-line value.
  constexpr int kOneLine = 12;
  return {{kConfirmItems[0].value_id, kOneLine}, {kConfirmItems[2].value_id, kOneLine},
          {kConfirmItems[3].value_id, kOneLine}};
}

bool CertificateConfirmScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND || LOWORD(in_l_wparam) != IDOK || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  out_l_result = TRUE;
  // A certificate type or file means the signing goes through CryptoAPI.
  const bool l_crypto_api = !Store().GetCertificateType().empty() || !Store().GetFilePath().empty();
  Post(l_crypto_api ? WM_APP07 : WM_APP03, 0);
  return true;
}

}  // namespace tavc
