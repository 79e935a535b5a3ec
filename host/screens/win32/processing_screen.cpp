#include "host/screens/win32/processing_screen.h"

#include <commctrl.h>

#include <string>

#include "common/template_format.h"
#include "host/cert/certificate.h"
#include "host/resources/message_texts.h"
#include "host/resources/resource_ids.h"
#include "host/screens/win32/bold_font.h"

namespace tavc {
namespace {

constexpr int kMessage = -1;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 5;
constexpr UINT kMarqueeMs = 10;

struct ProcessMode {
  std::uint32_t text_id;     // 0: no text
  std::uint32_t warning_id;  // 0: no warning line
  bool cancel_enabled;
  bool signing;
};

ProcessMode ProcessModeOf(int in_l_mode) {
  switch (in_l_mode) {
    case 0:
      return {2011, 0, true, false};
    case 1:
      return {2012, 0, true, false};
    case 2:
      return {2013, 0, false, false};
    case 3:
      return {2030, 2055, false, false};
    case 4:
    case 6:
      return {2062, 0, true, true};
    case 5:
      return {2070, 0, true, false};
    case 7:
      return {2071, 2072, false, false};
    default:
      return {0, 0, true, false};
  }
}

}  // namespace

ProcessingScreen::ProcessingScreen(HINSTANCE in_l_instance, const ScreenRequest& in_l_request)
    : BaseWindow(in_l_instance, in_l_request, IDD_PROCESSING, L"ProcessingScreen") {}

ProcessingScreen::~ProcessingScreen() { DestroyWindow(); }

void ProcessingScreen::ShowCount(std::size_t in_l_made, std::size_t in_l_total) const {
  SetText(kMessage, FormatTemplate(LoadMessageText(2062), {std::to_wstring(in_l_made), std::to_wstring(in_l_total)}));
}

void ProcessingScreen::OnInitDialog() {
  SetCaption(3006);
  const HWND l_bar = Item(IDC_PROGRESS);
  SetWindowLongPtrW(l_bar, GWL_STYLE, GetWindowLongPtrW(l_bar, GWL_STYLE) | PBS_MARQUEE);
  SendMessageW(l_bar, PBM_SETMARQUEE, TRUE, kMarqueeMs);
  const int l_mode = Request().process_mode;
  const ProcessMode l_process = ProcessModeOf(l_mode);
  if (l_process.text_id != 0 && !l_process.signing) SetText(kMessage, l_process.text_id);
  if (l_process.warning_id != 0) SetText(IDC_WARNING, l_process.warning_id);
  EnableWindow(Item(IDCANCEL), l_process.cancel_enabled ? TRUE : FALSE);
  if (l_process.signing) {
    SendMessageW(l_bar, PBM_SETMARQUEE, FALSE, 0);
    SetWindowLongPtrW(l_bar, GWL_STYLE, GetWindowLongPtrW(l_bar, GWL_STYLE) & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    SetTimer(Window(), kTimerId, kTimerMs, nullptr);
    const std::size_t l_total = Store().GetDigest().size();
    SendMessageW(l_bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(l_total));
    SendMessageW(l_bar, PBM_SETPOS, 0, 0);
    ShowCount(0, l_total);
  }
  SetText(IDCANCEL, 3101);
  if (l_process.warning_id != 0) {
    // The password change: no banner, the warning in bold instead of Cancel.
    CollapseBanner({kMessage});
    ShowWindow(Item(IDCANCEL), SW_HIDE);
    const HFONT l_bold = KeepFont(BoldCopyOf(Item(IDC_WARNING)));
    if (l_bold != nullptr) {
      SendDlgItemMessageW(Window(), IDC_WARNING, WM_SETFONT, reinterpret_cast<WPARAM>(l_bold), TRUE);
    }
    ShowWindow(Item(IDC_WARNING), SW_SHOW);
    return;
  }
  SetUpBanner({kMessage, IDC_PROGRESS, IDCANCEL});
}

void ProcessingScreen::OnTimer() {
  // Both counts are safe to read while a worker appends.
  const std::size_t l_made = Request().certificate != nullptr   ? Request().certificate->GetSignatureCount()
                             : Request().result_data != nullptr ? Request().result_data->GetSignatureCount()
                                                                : 0;
  const std::size_t l_total = Store().GetDigest().size();
  const HWND l_bar = Item(IDC_PROGRESS);
  const auto l_position = static_cast<std::size_t>(SendMessageW(l_bar, PBM_GETPOS, 0, 0));
  if (l_position == l_made || l_made < 1 || l_made > l_total) return;
  ShowCount(l_made, l_total);
  // Stepping past and back makes the bar draw the new position at once.
  if (l_made < l_total) {
    SendMessageW(l_bar, PBM_SETPOS, l_made + 1, 0);
    SendMessageW(l_bar, PBM_SETPOS, l_made, 0);
    return;
  }
  KillTimer(Window(), kTimerId);
  SendMessageW(l_bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(l_total + 1));
  SendMessageW(l_bar, PBM_SETPOS, l_made + 1, 0);
  SendMessageW(l_bar, PBM_SETPOS, l_made, 0);
  SendMessageW(l_bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(l_total));
}

void ProcessingScreen::OnClose() {
  const int l_mode = Request().process_mode;
  if (l_mode == 2 || l_mode == 3) return;
  BaseWindow::OnClose();
}

bool ProcessingScreen::OnMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM, INT_PTR& out_l_result) {
  if (in_l_message == WM_TIMER && in_l_wparam == kTimerId) {
    OnTimer();
    out_l_result = TRUE;
    return true;
  }
  if (in_l_message == WM_DESTROY) {
    KillTimer(Window(), kTimerId);
    out_l_result = TRUE;
    return true;
  }
  return false;
}

}  // namespace tavc
