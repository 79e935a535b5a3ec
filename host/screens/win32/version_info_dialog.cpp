#include "host/screens/win32/version_info_dialog.h"

#include "host/resources/message_texts.h"
#include "host/resources/resource_ids.h"
#include "host/screens/win32/ui_language.h"

namespace tavc {
namespace {

constexpr int kProductPointTenths = 200;

void CenterOnOwner(HWND in_l_dialog) {
  const HWND l_owner = GetWindow(in_l_dialog, GW_OWNER);
  RECT l_area{};
  if (l_owner == nullptr || !GetWindowRect(l_owner, &l_area)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &l_area, 0);
  }
  RECT l_rect{};
  GetWindowRect(in_l_dialog, &l_rect);
  const int l_width = l_rect.right - l_rect.left;
  const int l_height = l_rect.bottom - l_rect.top;
  SetWindowPos(in_l_dialog, nullptr, l_area.left + (l_area.right - l_area.left - l_width) / 2,
               l_area.top + (l_area.bottom - l_area.top - l_height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double Scale(double in_l_value) { return in_l_value > 0.0 ? in_l_value : 1.0; }

}  // namespace

VersionInfoDialog::~VersionInfoDialog() {
  if (m_picture_ != nullptr) DeleteObject(m_picture_);
  if (m_font_ != nullptr) DeleteObject(m_font_);
}

void VersionInfoDialog::Initialize(DataStore* in_l_data_store) {
  m_data_store_ = in_l_data_store;
  PreferUiLanguage(L"ja-JP");
}

INT_PTR VersionInfoDialog::DoModal() {
  if (m_data_store_ == nullptr) return -1;
  return DialogBoxParamW(m_instance_, MAKEINTRESOURCEW(IDD_VERSION_INFO),
                         static_cast<HWND>(m_data_store_->GetScreenHandle()), DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void VersionInfoDialog::OnInitDialog(HWND in_l_dialog) {
  CenterOnOwner(in_l_dialog);
  // Named for tools and tests, as the screens are; the caption says the title.
  SetWindowTextW(in_l_dialog, LoadJapaneseText(3009).c_str());
  const auto l_font = reinterpret_cast<HFONT>(SendDlgItemMessageW(in_l_dialog, IDC_VERSION_PRODUCT, WM_GETFONT, 0, 0));
  LOGFONTW l_info{};
  if (l_font != nullptr && GetObjectW(l_font, sizeof l_info, &l_info) != 0) {
    LOGFONTW l_large{};
    l_large.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(l_large.lfFaceName, l_info.lfFaceName, LF_FACESIZE);
    const HDC l_dc = GetDC(in_l_dialog);
    l_large.lfHeight = -MulDiv(kProductPointTenths, GetDeviceCaps(l_dc, LOGPIXELSY), 720);
    ReleaseDC(in_l_dialog, l_dc);
    m_font_ = CreateFontIndirectW(&l_large);
    if (m_font_ != nullptr) {
      SendDlgItemMessageW(in_l_dialog, IDC_VERSION_PRODUCT, WM_SETFONT, reinterpret_cast<WPARAM>(m_font_), TRUE);
    }
  }
  SetDlgItemTextW(in_l_dialog, IDC_VERSION_PRODUCT, LoadJapaneseText(3301).c_str());
  SetDlgItemTextW(in_l_dialog, IDC_VERSION_MAKER, LoadJapaneseText(3302).c_str());
  SetDlgItemTextW(in_l_dialog, IDC_VERSION_VER, (L"Ver" + m_data_store_->GetOwnVersion()).c_str());
  SetDlgItemTextW(in_l_dialog, IDOK, LoadJapaneseText(3100).c_str());
  BITMAP l_size{};
  const HBITMAP l_probe = LoadBitmapW(m_instance_, MAKEINTRESOURCEW(IDB_VERSION));
  if (l_probe != nullptr && GetObjectW(l_probe, sizeof l_size, &l_size) != 0) {
    m_picture_ = static_cast<HBITMAP>(LoadImageW(m_instance_, MAKEINTRESOURCEW(IDB_VERSION), IMAGE_BITMAP,
                                                 static_cast<int>(l_size.bmWidth * Scale(m_data_store_->GetScaleX())),
                                                 static_cast<int>(l_size.bmHeight * Scale(m_data_store_->GetScaleY())),
                                                 LR_DEFAULTCOLOR));
  }
  if (l_probe != nullptr) DeleteObject(l_probe);
  if (m_picture_ != nullptr) {
    SendDlgItemMessageW(in_l_dialog, IDC_VERSION_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_picture_));
  }
}

INT_PTR CALLBACK VersionInfoDialog::DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam,
                                               LPARAM in_l_lparam) {
  switch (in_l_message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(in_l_dialog, DWLP_USER, in_l_lparam);
      reinterpret_cast<VersionInfoDialog*>(in_l_lparam)->OnInitDialog(in_l_dialog);
      return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(in_l_wparam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
      if (LOWORD(in_l_wparam) == IDOK || LOWORD(in_l_wparam) == IDCANCEL) {
        EndDialog(in_l_dialog, 1);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace tavc
