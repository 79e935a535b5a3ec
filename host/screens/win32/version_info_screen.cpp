#include "host/screens/win32/version_info_screen.h"

#include "host/resources/message_texts.h"
#include "host/resources/resource_ids.h"
#include "host/screens/screen_titles.h"
#include "host/screens/version_notice.h"
#include "host/screens/win32/browser_launcher.h"
#include "host/state/message_poster.h"

namespace tavc {

VersionInfoScreen::VersionInfoScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_VERSION_NOTICE, L"VersionInfoScreen"),
      m_download_address_(LoadMessageText(3310)),
      m_must_update_(IsMustUpdate(in_l_request.error_info->GetCode())) {}

bool VersionInfoScreen::IsLowIntegrity() const { return Store().GetIntegrityLevel() < kMediumIntegrity; }

void VersionInfoScreen::OnInitDialog() {
  if (IsLowIntegrity()) Error().SetError(LowIntegrityCode(Error().GetCode()), L"", L"", L"");
  SetCaption(ScreenTitleId(ScreenKind::kVersionInfo, Store().GetMode()));
  SetText(-1, Error().GetMessage());
  SetText(IDOK, 3102);
  SetText(IDCANCEL, IsLowIntegrity() ? 3101 : 3103);
  SetText(IDC_URL_CAPTION, 3303);
  SetText(IDC_URL_FIELD, m_download_address_);
  SetUpUrlFont();
  SendDlgItemMessageW(Window(), IDCANCEL, BM_SETSTYLE, BS_PUSHBUTTON | BS_CENTER, TRUE);
  if (m_must_update_) {
    ShowWindow(Item(IDOK), SW_HIDE);
    EnableWindow(Item(IDOK), FALSE);
    // The one button left stands in the middle.
    RECT l_client{};
    RECT l_button{};
    GetClientRect(Window(), &l_client);
    GetWindowRect(Item(IDCANCEL), &l_button);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&l_button), 2);
    const int l_width = l_button.right - l_button.left;
    MoveWindow(Item(IDCANCEL), (l_client.right - l_width) / 2, l_button.top, l_width, l_button.bottom - l_button.top,
               TRUE);
    SendMessageW(Window(), DM_SETDEFID, IDCANCEL, 0);
  }
  SetUpVersionButton();
  LayOut();
}

void VersionInfoScreen::LayOut() {
  const std::wstring l_service = Store().GetServiceId();
  const NoticeLayout l_layout = NoticeLayoutFor(l_service == L"01" || l_service == L"02", IsLowIntegrity());
  if (l_layout.collapse_banner) {
    CollapseBanner({-1});
  } else {
    SetUpBanner({});
  }
  if (l_layout.hide_address) {
    ShowWindow(Item(IDC_URL_CAPTION), SW_HIDE);
    ShowWindow(Item(IDC_URL_FIELD), SW_HIDE);
  } else {
    FitUrlField({IDOK, IDCANCEL});
  }
  MoveWindowObjects({IDC_URL_CAPTION, IDC_URL_FIELD}, ScaleY(l_layout.address_up));
  MoveWindowObjects({IDOK, IDCANCEL}, ScaleY(l_layout.buttons_up));
  // CollapseBanner has taken the banner's height off already.
  ShrinkDialog(ScaleY(l_layout.shrink) - (l_layout.collapse_banner ? ScaleY(85) : 0));
}

void VersionInfoScreen::OnProceed() {
  DeleteBanner();
  const bool l_crypto_api = !Store().GetCertificateType().empty() || !Store().GetFilePath().empty();
  Post(l_crypto_api ? WM_APP07 : WM_APP01, 0);
}

void VersionInfoScreen::OnUpdate() {
  if (!IsLowIntegrity()) OpenUrlWithDefaultBrowser(m_download_address_);
  OnClose();
}

void VersionInfoScreen::OnClose() {
  DeleteBanner();
  Post(WM_APP04, 0);
}

bool VersionInfoScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message != WM_COMMAND || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  out_l_result = TRUE;
  switch (LOWORD(in_l_wparam)) {
    case IDOK:
      // Enter reaches a hidden Skip too: only a usable version may skip.
      if (IsWindowEnabled(Item(IDOK))) OnProceed();
      return true;
    case IDCANCEL: OnUpdate(); return true;
    default: return false;
  }
}

}  // namespace tavc
