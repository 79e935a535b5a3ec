#include "host/screens/win32/certificate_confirm_screen_gpki_ap.h"

#include <commctrl.h>

#include "host/cert/gpki_ap_certificate.h"
#include "host/resources/resource_ids.h"
#include "host/screens/gpki_certificate_rows.h"
#include "host/screens/screen_titles.h"
#include "host/screens/win32/certificate_save_dialog.h"
#include "host/state/message_poster.h"

namespace tavc {
namespace {

constexpr int kCaType = 1;
constexpr int kNameColumnWidth = 150;
constexpr int kValueColumnWidth = 480;
constexpr std::uint16_t kSaveModule = 0xD101;
constexpr std::uint8_t kSaveRoutine = 1;
// The list moves its own selection after telling of a key: the row is shown
// once it has (wParam the row). A message of the application's own range: the
// dialog manager's messages start at WM_USER.
constexpr UINT kShowRow = WM_APP + 0x200;

void InsertColumn(HWND in_l_list, int in_l_index, const wchar_t* in_l_title, int in_l_width) {
  LVCOLUMNW l_column{};
  l_column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  l_column.pszText = const_cast<wchar_t*>(in_l_title);
  l_column.cx = in_l_width;
  l_column.iSubItem = in_l_index;
  SendMessageW(in_l_list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(in_l_index), reinterpret_cast<LPARAM>(&l_column));
}

ListKey KeyOf(WORD in_l_key) {
  switch (in_l_key) {
    case VK_UP: return ListKey::kUp;
    case VK_DOWN: return ListKey::kDown;
    case VK_HOME: return ListKey::kHome;
    case VK_END: return ListKey::kEnd;
    default: return ListKey::kOther;
  }
}

}  // namespace

CertificateConfirmScreenGpkiAp::CertificateConfirmScreenGpkiAp(HINSTANCE in_l_instance,
                                                               const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_CERTIFICATE_CONFIRM_GPKI, L"CertificateConfirmScreenGpkiAp"),
      m_card_certificate_(dynamic_cast<const GpkiApCertificate*>(in_l_request.certificate)),
      m_ca_certificate_(dynamic_cast<const GpkiApCertificate*>(in_l_request.second_certificate)) {
  Store().SetGpkiCertificateType(0);
}

const GpkiApCertificate* CertificateConfirmScreenGpkiAp::Shown() const {
  return Store().GetGpkiCertificateType() == kCaType ? m_ca_certificate_ : m_card_certificate_;
}

void CertificateConfirmScreenGpkiAp::OnInitDialog() {
  SetCaption(ScreenTitleId(ScreenKind::kCertificateConfirmGpkiAp, Store().GetMode()));
  const HWND l_list = Item(IDC_GPKI_LIST);
  SendMessageW(l_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  InsertColumn(l_list, 0, L"項目名", ScaleX(kNameColumnWidth));
  InsertColumn(l_list, 1, L"値", ScaleX(kValueColumnWidth));
  SetText(IDC_GPKI_DETAIL_LABEL, 3314);
  SetText(IDC_GPKI_FINGERPRINT_LABEL, 3315);
  SetText(IDC_GPKI_TOGGLE, 3106);
  SetText(IDC_GPKI_SAVE, 3105);
  SetText(IDCANCEL, 3101);
  SetListedDetail();
  SetUpVersionButton();
  ShowOrigin();
}

std::vector<BaseWindow::FieldMinimum> CertificateConfirmScreenGpkiAp::ScrollingFields() const {
  constexpr int kListRows = 36;
  constexpr int kDetailLines = 22;
  return {{IDC_GPKI_LIST, kListRows}, {IDC_GPKI_DETAIL, kDetailLines}};
}

void CertificateConfirmScreenGpkiAp::SetListedDetail() {
  const bool l_ca = Store().GetGpkiCertificateType() == kCaType;
  SetText(IDC_GPKI_MESSAGE, l_ca ? 2081 : 2080);
  const int l_ca_shown = l_ca ? SW_SHOW : SW_HIDE;
  ShowWindow(Item(IDC_GPKI_FINGERPRINT_LABEL), l_ca_shown);
  ShowWindow(Item(IDC_GPKI_FINGERPRINT), l_ca_shown);
  ShowWindow(Item(IDC_GPKI_TOGGLE), l_ca ? SW_HIDE : SW_SHOW);
  SetText(IDOK, l_ca ? 3104 : 3100);
  m_details_.clear();
  const HWND l_list = Item(IDC_GPKI_LIST);
  SendMessageW(l_list, LVM_DELETEALLITEMS, 0, 0);
  const GpkiApCertificate* l_certificate = Shown();
  if (l_certificate != nullptr) {
    for (GpkiRow& l_row : GpkiRows(*l_certificate, l_ca)) {
      LVITEMW l_item{};
      l_item.mask = LVIF_TEXT;
      l_item.iItem = static_cast<int>(m_details_.size());
      l_item.pszText = const_cast<wchar_t*>(l_row.label.c_str());
      const auto l_index = static_cast<int>(SendMessageW(l_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&l_item)));
      l_item.iItem = l_index;
      l_item.iSubItem = 1;
      l_item.pszText = const_cast<wchar_t*>(l_row.value.c_str());
      SendMessageW(l_list, LVM_SETITEMTEXTW, static_cast<WPARAM>(l_index), reinterpret_cast<LPARAM>(&l_item));
      m_details_.push_back(std::move(l_row.detail));
    }
    SetText(IDC_GPKI_FINGERPRINT, l_ca ? l_certificate->GetGpkiFingerPrint() : std::wstring());
  }
  SetText(IDC_GPKI_DETAIL, std::wstring());
}

void CertificateConfirmScreenGpkiAp::CertToggle() {
  Store().SetGpkiCertificateType(Store().GetGpkiCertificateType() == kCaType ? 0 : kCaType);
  SetListedDetail();
  InvalidateRect(Window(), nullptr, TRUE);
}

void CertificateConfirmScreenGpkiAp::OnOk() {
  if (Store().GetGpkiCertificateType() == kCaType) {
    CertToggle();
    return;
  }
  Post(WM_APP03, 0);
}

void CertificateConfirmScreenGpkiAp::OnButtonSave() {
  const GpkiApCertificate* l_certificate = Shown();
  const std::wstring l_hex = l_certificate != nullptr ? l_certificate->GetCertificateHex() : std::wstring();
  const std::weak_ptr<const int> l_alive = AliveToken();
  const std::uint8_t l_point = SaveCertificateAs(Window(), l_hex);
  // The dialog's loop takes the frame's messages: an interrupt cancels the
  // dialog, and this screen may be gone by the time it returns.
  if (l_point == 0 || l_alive.expired()) return;
  Error().SetCardError(L"EW044-4499", kSaveModule, kSaveRoutine, l_point);
  Post(WM_APP05, 1);
}

void CertificateConfirmScreenGpkiAp::ShowDetail(int in_l_row) {
  if (in_l_row < 0 || static_cast<std::size_t>(in_l_row) >= m_details_.size()) return;
  SetText(IDC_GPKI_DETAIL, MakeLinefeed(m_details_[static_cast<std::size_t>(in_l_row)]));
  InvalidateRect(Window(), nullptr, TRUE);
}

void CertificateConfirmScreenGpkiAp::OnListKeyDown(WORD in_l_key) {
  const HWND l_list = Item(IDC_GPKI_LIST);
  const auto l_selected = static_cast<int>(SendMessageW(l_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  const int l_last = static_cast<int>(SendMessageW(l_list, LVM_GETITEMCOUNT, 0, 0)) - 1;
  const int l_row = RowAfterKey(KeyOf(in_l_key), l_selected, l_last);
  if (l_row >= 0) PostMessageW(Window(), kShowRow, static_cast<WPARAM>(l_row), 0);
}

void CertificateConfirmScreenGpkiAp::SelectRow(int in_l_row) {
  const HWND l_list = Item(IDC_GPKI_LIST);
  const int l_row = in_l_row;
  LVITEMW l_state{};
  l_state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  l_state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(l_list, LVM_SETITEMSTATE, static_cast<WPARAM>(l_row), reinterpret_cast<LPARAM>(&l_state));
  SendMessageW(l_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(l_row), FALSE);
  ShowDetail(l_row);
}

bool CertificateConfirmScreenGpkiAp::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam,
                                               INT_PTR& out_l_result) {
  out_l_result = TRUE;
  if (in_l_message == kShowRow) {
    SelectRow(static_cast<int>(in_l_wparam));
    return true;
  }
  if (in_l_message == WM_NOTIFY) {
    const auto* l_notify = reinterpret_cast<const NMHDR*>(in_l_lparam);
    if (l_notify->idFrom != IDC_GPKI_LIST) return false;
    if (l_notify->code == NM_CLICK) {
      ShowDetail(reinterpret_cast<const NMITEMACTIVATE*>(in_l_lparam)->iItem);
      return true;
    }
    if (l_notify->code == LVN_KEYDOWN) {
      OnListKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(in_l_lparam)->wVKey);
      return true;
    }
    return false;
  }
  if (in_l_message != WM_COMMAND || HIWORD(in_l_wparam) != BN_CLICKED) return false;
  switch (LOWORD(in_l_wparam)) {
    case IDOK: OnOk(); return true;
    case IDC_GPKI_TOGGLE: CertToggle(); return true;
    case IDC_GPKI_SAVE: OnButtonSave(); return true;
    default: return false;
  }
}

}  // namespace tavc
