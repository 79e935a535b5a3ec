#include "host/screens/win32/base_window.h"

#include "host/flow/frame_message_poster.h"
#include "host/resources/message_texts.h"
#include "host/resources/resource_ids.h"
#include "host/screens/dialog_template_font.h"
#include "host/screens/origin_notice.h"
#include "host/screens/screen_fit.h"
#include "host/screens/win32/end_alert_dialog.h"
#include "host/screens/win32/frame_metrics.h"
#include "host/screens/win32/version_info_dialog.h"

namespace tavc {
namespace {

constexpr int kBannerHeight = 85;
constexpr int kUrlPointTenths = 120;

SIZE BitmapSize(HINSTANCE in_l_instance, int in_l_id) {
  SIZE l_size{0, 0};
  const HBITMAP l_bitmap = LoadBitmapW(in_l_instance, MAKEINTRESOURCEW(in_l_id));
  BITMAP l_info{};
  if (l_bitmap != nullptr && GetObjectW(l_bitmap, sizeof l_info, &l_info) != 0) {
    l_size = {l_info.bmWidth, l_info.bmHeight};
  }
  if (l_bitmap != nullptr) DeleteObject(l_bitmap);
  return l_size;
}

}  // namespace

BaseWindow::BaseWindow(HINSTANCE in_l_instance, const ScreenRequest& in_l_request, int in_l_dialog_id,
                       const wchar_t* in_l_name)
    : m_instance_(in_l_instance), m_request_(in_l_request), m_dialog_id_(in_l_dialog_id), m_name_(in_l_name) {
  m_origin_block_.emplace();
}

BaseWindow::~BaseWindow() { DestroyWindow(); }

HWND BaseWindow::Frame() const { return static_cast<HWND>(Store().GetScreenHandle()); }

std::vector<std::uint8_t> BaseWindow::TemplateBytes() const {
  const WORD l_language = m_english_ ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                     : MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  // The template of the screen's own language, whatever the process prefers.
  HRSRC l_resource = FindResourceExW(m_instance_, RT_DIALOG, MAKEINTRESOURCEW(m_dialog_id_), l_language);
  if (l_resource == nullptr) l_resource = FindResourceW(m_instance_, MAKEINTRESOURCEW(m_dialog_id_), RT_DIALOG);
  const HGLOBAL l_loaded = l_resource != nullptr ? LoadResource(m_instance_, l_resource) : nullptr;
  const auto* l_bytes = l_loaded != nullptr ? static_cast<const std::uint8_t*>(LockResource(l_loaded)) : nullptr;
  if (l_bytes == nullptr) return {};
  return std::vector<std::uint8_t>(l_bytes, l_bytes + SizeofResource(m_instance_, l_resource));
}

bool BaseWindow::Create() {
  if (m_window_ != nullptr) return true;
  std::vector<std::uint8_t> l_template = TemplateBytes();
  if (l_template.empty()) return false;
  const std::optional<std::size_t> l_size_at = TemplatePointSizeOffset(l_template);
  const int l_points = l_size_at ? l_template[*l_size_at] | (l_template[*l_size_at + 1] << 8) : 0;
  int l_now = l_points;
  for (;;) {
    if (l_size_at) {
      l_template[*l_size_at] = static_cast<std::uint8_t>(l_now & 0xFF);
      l_template[*l_size_at + 1] = static_cast<std::uint8_t>(l_now >> 8);
      m_zoom_ = static_cast<double>(l_now) / l_points;
    }
    // WM_INITDIALOG stores the handle before this returns.
    if (CreateDialogIndirectParamW(m_instance_, reinterpret_cast<const DLGTEMPLATE*>(l_template.data()), Frame(),
                                   DialogProc, reinterpret_cast<LPARAM>(this)) == nullptr) {
      return false;
    }
    const ScreenSize l_room = ScreenRoom(SystemFrameMetrics(Frame()));
    FitFields(l_room);
    l_now = l_points > 0 ? SmallerPointSize(l_now, Needed(), l_room) : 0;
    if (l_now == 0) return true;
    // Laid out again, still hidden, in the smaller font.
    DestroyWindow();
  }
}

ScreenSize BaseWindow::Needed() const {
  RECT l_client{};
  GetClientRect(m_window_, &l_client);
  return ScreenSize{l_client.right - l_client.left, l_client.bottom - l_client.top + GrowthReserve()};
}

void BaseWindow::FitFields(ScreenSize in_l_room) const {
  const std::vector<FieldMinimum> l_specs = ScrollingFields();
  std::vector<ScrollingField> l_fields;
  for (const FieldMinimum& l_spec : l_specs) {
    RECT l_least{0, 0, 0, l_spec.dialog_units};
    MapDialogRect(m_window_, &l_least);
    l_fields.push_back(ScrollingField{Height(l_spec.id), l_least.bottom});
  }
  const std::vector<std::int32_t> l_shares = FieldShares(Needed().cy - in_l_room.cy, l_fields);
  struct Shrunk {
    int bottom;
    int share;
  };
  std::vector<Shrunk> l_shrunk;
  int l_total = 0;
  for (std::size_t l_i = 0; l_i < l_specs.size(); ++l_i) {
    if (l_shares[l_i] == 0) continue;
    const HWND l_field = Item(l_specs[l_i].id);
    RECT l_rect{};
    GetWindowRect(l_field, &l_rect);
    MapWindowPoints(nullptr, m_window_, reinterpret_cast<POINT*>(&l_rect), 2);
    MoveWindow(l_field, l_rect.left, l_rect.top, l_rect.right - l_rect.left,
               l_rect.bottom - l_rect.top - l_shares[l_i], TRUE);
    l_shrunk.push_back({l_rect.bottom, l_shares[l_i]});
    l_total += l_shares[l_i];
  }
  if (l_total == 0) return;
  // Each control moves up by the shares of the shrunk fields above it (the
  // shrunk ones included, by those above themselves).
  for (HWND l_child = GetWindow(m_window_, GW_CHILD); l_child != nullptr; l_child = GetWindow(l_child, GW_HWNDNEXT)) {
    RECT l_rect{};
    GetWindowRect(l_child, &l_rect);
    MapWindowPoints(nullptr, m_window_, reinterpret_cast<POINT*>(&l_rect), 2);
    int l_dy = 0;
    for (const Shrunk& l_field : l_shrunk) {
      if (l_field.bottom <= l_rect.top) l_dy += l_field.share;
    }
    if (l_dy > 0) {
      MoveWindow(l_child, l_rect.left, l_rect.top - l_dy, l_rect.right - l_rect.left, l_rect.bottom - l_rect.top, TRUE);
    }
  }
  ShrinkDialog(l_total);
}

void BaseWindow::Show() {
  // The first screen reaches the frame without having been created.
  if (!Create()) return;
  ShowWindow(m_window_, SW_SHOW);
  SetFocus(m_window_);
}

bool BaseWindow::IsWindow() const { return m_window_ != nullptr && ::IsWindow(m_window_) != FALSE; }

void BaseWindow::DestroyWindow() {
  if (IsWindow()) ::DestroyWindow(m_window_);
  m_window_ = nullptr;
  ReleaseWindowResources();
}

void BaseWindow::ReleaseWindowResources() {
  DeleteBanner();
  if (m_version_images_ != nullptr) ImageList_Destroy(m_version_images_);
  m_version_images_ = nullptr;
  m_origin_block_.emplace();
  for (const HFONT l_font : m_fonts_) DeleteObject(l_font);
  m_fonts_.clear();
}

HFONT BaseWindow::KeepFont(HFONT in_l_font) {
  if (in_l_font != nullptr) m_fonts_.push_back(in_l_font);
  return in_l_font;
}

void BaseWindow::OnClose() {
  EndAlertDialog l_dialog(m_instance_);
  l_dialog.Initialize(m_request_.error_info, m_request_.data_store);
  // Messages the frame takes while the alert is open may replace this screen.
  l_dialog.DoModal();
}

int BaseWindow::ScaleX(int in_l_pixels) const {
  const double l_scale = Store().GetScaleX() > 0.0 ? Store().GetScaleX() : 1.0;
  return static_cast<int>(in_l_pixels * l_scale * m_zoom_);
}

int BaseWindow::ScaleY(int in_l_pixels) const {
  const double l_scale = Store().GetScaleY() > 0.0 ? Store().GetScaleY() : 1.0;
  return static_cast<int>(in_l_pixels * l_scale * m_zoom_);
}

void BaseWindow::SetCaption(std::uint32_t in_l_title_id) const {
  SetWindowTextW(Frame(), LoadMessageText(in_l_title_id).c_str());
}

void BaseWindow::SetText(int in_l_id, std::uint32_t in_l_text_id) const { SetText(in_l_id, LoadMessageText(in_l_text_id)); }

void BaseWindow::SetText(int in_l_id, const std::wstring& in_l_text) const {
  SetDlgItemTextW(m_window_, in_l_id, in_l_text.c_str());
}

void BaseWindow::MoveWindowObject(int in_l_id, int in_l_dy) const {
  const HWND l_control = Item(in_l_id);
  RECT l_rect{};
  if (l_control == nullptr || !GetWindowRect(l_control, &l_rect)) return;
  MapWindowPoints(nullptr, m_window_, reinterpret_cast<POINT*>(&l_rect), 2);
  MoveWindow(l_control, l_rect.left, l_rect.top - in_l_dy, l_rect.right - l_rect.left, l_rect.bottom - l_rect.top,
             TRUE);
}

void BaseWindow::MoveWindowObjects(std::initializer_list<int> in_l_ids, int in_l_dy) const {
  for (const int l_id : in_l_ids) MoveWindowObject(l_id, in_l_dy);
}

int BaseWindow::Height(int in_l_id) const {
  RECT l_rect{};
  const HWND l_control = Item(in_l_id);
  return l_control != nullptr && GetWindowRect(l_control, &l_rect) ? l_rect.bottom - l_rect.top : 0;
}

void BaseWindow::HideObject(int in_l_id) const {
  const int l_height = Height(in_l_id);
  ShowWindow(Item(in_l_id), SW_HIDE);
  MoveWindowObjects({IDOK, IDCANCEL}, l_height);
  ShrinkDialog(l_height);
}

void BaseWindow::ShrinkDialog(int in_l_dy) const {
  RECT l_rect{};
  GetWindowRect(m_window_, &l_rect);
  SetWindowPos(m_window_, nullptr, 0, 0, l_rect.right - l_rect.left, l_rect.bottom - l_rect.top - in_l_dy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void BaseWindow::CollapseBanner(std::initializer_list<int> in_l_below) const {
  const HWND l_banner = Item(IDC_BANNER);
  RECT l_rect{};
  GetWindowRect(l_banner, &l_rect);
  MapWindowPoints(nullptr, m_window_, reinterpret_cast<POINT*>(&l_rect), 2);
  MoveWindow(l_banner, l_rect.left, l_rect.top, l_rect.right - l_rect.left, 0, TRUE);
  const int l_dy = ScaleY(kBannerHeight);
  MoveWindowObjects(in_l_below, l_dy);
  ShrinkDialog(l_dy);
}

void BaseWindow::SetUpBanner(std::initializer_list<int> in_l_below) {
  const std::wstring l_service = Store().GetServiceId();
  const int l_id = l_service == L"01" ? IDB_TAVO : l_service == L"02" ? IDB_ETAX : 0;
  if (l_id == 0) {
    CollapseBanner(in_l_below);
    return;
  }
  const SIZE l_size = BitmapSize(m_instance_, l_id);
  // A picture whose size cannot be read is left out; the place stays.
  if (l_size.cx == 0) return;
  m_banner_ = static_cast<HBITMAP>(LoadImageW(m_instance_, MAKEINTRESOURCEW(l_id), IMAGE_BITMAP, ScaleX(l_size.cx),
                                              ScaleY(l_size.cy), LR_DEFAULTCOLOR));
  if (m_banner_ != nullptr) {
    SendDlgItemMessageW(m_window_, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_banner_));
  }
}

void BaseWindow::SetUpVersionButton() {
  const SIZE l_size = BitmapSize(m_instance_, IDB_INFO);
  if (l_size.cx == 0) return;
  const int l_cx = ScaleX(l_size.cx);
  const int l_cy = ScaleY(l_size.cy);
  const HIMAGELIST l_list = ImageList_Create(l_cx, l_cy, ILC_COLOR32, 2, 1);
  if (l_list == nullptr) return;
  // One picture per button state: normal, hot, pressed, disabled, focused, stylus hot.
  for (const int l_id : {IDB_INFO, IDB_INFO_HOVER, IDB_INFO, IDB_INFO, IDB_INFO_HOVER, IDB_INFO_HOVER}) {
    const auto l_bitmap =
        static_cast<HBITMAP>(LoadImageW(m_instance_, MAKEINTRESOURCEW(l_id), IMAGE_BITMAP, l_cx, l_cy, 0));
    ImageList_Add(l_list, l_bitmap, nullptr);
    if (l_bitmap != nullptr) DeleteObject(l_bitmap);
  }
  BUTTON_IMAGELIST l_images{l_list, {0, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_CENTER};
  if (SendDlgItemMessageW(m_window_, IDC_VERSION_BUTTON, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&l_images)) ==
      FALSE) {
    ImageList_Destroy(l_list);
    return;
  }
  m_version_images_ = l_list;
}

void BaseWindow::SetUpUrlFont() {
  const auto l_current = reinterpret_cast<HFONT>(SendDlgItemMessageW(m_window_, IDC_URL_FIELD, WM_GETFONT, 0, 0));
  LOGFONTW l_font{};
  if (l_current == nullptr || GetObjectW(l_current, sizeof l_font, &l_font) == 0) return;
  LOGFONTW l_point{};
  l_point.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(l_point.lfFaceName, l_font.lfFaceName, LF_FACESIZE);
  // Tenths of a point in the screen's pixels, smaller with the screen's font.
  const HDC l_dc = GetDC(m_window_);
  l_point.lfHeight = -MulDiv(static_cast<int>(kUrlPointTenths * m_zoom_), GetDeviceCaps(l_dc, LOGPIXELSY), 720);
  ReleaseDC(m_window_, l_dc);
  const HFONT l_url_font = KeepFont(CreateFontIndirectW(&l_point));
  if (l_url_font != nullptr) {
    SendDlgItemMessageW(m_window_, IDC_URL_FIELD, WM_SETFONT, reinterpret_cast<WPARAM>(l_url_font), TRUE);
  }
}

void BaseWindow::FitUrlField(std::initializer_list<int> in_l_below) const {
  const HWND l_field = Item(IDC_URL_FIELD);
  const auto l_font = reinterpret_cast<HFONT>(SendMessageW(l_field, WM_GETFONT, 0, 0));
  const HDC l_dc = GetDC(l_field);
  const HGDIOBJ l_previous = SelectObject(l_dc, l_font != nullptr ? l_font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW l_metrics{};
  const BOOL l_measured = GetTextMetricsW(l_dc, &l_metrics);
  SelectObject(l_dc, l_previous);
  ReleaseDC(l_field, l_dc);
  if (!l_measured) return;
  // The edit control has wrapped the text at its width already, a line the font's height.
  const auto l_lines = static_cast<int>(SendMessageW(l_field, EM_GETLINECOUNT, 0, 0));
  RECT l_format{};
  SendMessageW(l_field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&l_format));
  const int l_gain = l_lines * l_metrics.tmHeight - (l_format.bottom - l_format.top);
  if (l_gain <= 0) return;
  RECT l_rect{};
  GetWindowRect(l_field, &l_rect);
  MapWindowPoints(nullptr, m_window_, reinterpret_cast<POINT*>(&l_rect), 2);
  MoveWindow(l_field, l_rect.left, l_rect.top, l_rect.right - l_rect.left, l_rect.bottom - l_rect.top + l_gain, TRUE);
  MoveWindowObjects(in_l_below, -l_gain);
  ShrinkDialog(-l_gain);
}

void BaseWindow::DeleteBanner() {
  if (m_banner_ == nullptr) return;
  if (IsWindow()) SendDlgItemMessageW(m_window_, IDC_BANNER, STM_SETIMAGE, IMAGE_BITMAP, 0);
  DeleteObject(m_banner_);
  m_banner_ = nullptr;
}

void BaseWindow::Post(UINT in_l_message, WPARAM in_l_wparam) const {
  FrameMessagePoster(Store()).Post(in_l_message, in_l_wparam, 0);
}

bool BaseWindow::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR BaseWindow::BaseMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam) {
  switch (in_l_message) {
    case WM_CTLCOLORSTATIC:
      if (HasRedErrorLine() && GetDlgCtrlID(reinterpret_cast<HWND>(in_l_lparam)) == IDC_ERROR_LINE) {
        SetTextColor(reinterpret_cast<HDC>(in_l_wparam), RGB(255, 0, 0));
      }
      [[fallthrough]];
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
      SetBkMode(reinterpret_cast<HDC>(in_l_wparam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_COMMAND:
      // Cancel and Escape.
      if (LOWORD(in_l_wparam) == IDCANCEL && HIWORD(in_l_wparam) == BN_CLICKED) {
        OnClose();
        return TRUE;
      }
      if (LOWORD(in_l_wparam) == IDC_VERSION_BUTTON && HIWORD(in_l_wparam) == BN_CLICKED) {
        OnShowVersion();
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

INT_PTR CALLBACK BaseWindow::DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam,
                                        LPARAM in_l_lparam) {
  if (in_l_message == WM_INITDIALOG) {
    auto* l_self = reinterpret_cast<BaseWindow*>(in_l_lparam);
    SetWindowLongPtrW(in_l_dialog, DWLP_USER, in_l_lparam);
    l_self->m_window_ = in_l_dialog;
    SetWindowTextW(in_l_dialog, l_self->m_name_);
    l_self->OnInitDialog();
    return TRUE;
  }
  auto* l_self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(in_l_dialog, DWLP_USER));
  if (l_self == nullptr) return FALSE;
  if (in_l_message == WM_NCDESTROY) {
    SetWindowLongPtrW(in_l_dialog, DWLP_USER, 0);
    l_self->m_window_ = nullptr;
    return FALSE;
  }
  INT_PTR l_result = 0;
  if (l_self->OnMessage(in_l_message, in_l_wparam, in_l_lparam, l_result)) return l_result;
  return l_self->BaseMessage(in_l_message, in_l_wparam, in_l_lparam);
}

int BaseWindow::ShowOrigin(const std::wstring& in_l_extra_line) {
  const std::vector<OriginRun> l_pieces = OriginNoticePieces(Store());
  if (l_pieces.empty()) return 0;
  std::vector<std::wstring> l_extra;
  if (!in_l_extra_line.empty()) l_extra.push_back(in_l_extra_line);
  return m_origin_block_->Insert(m_window_, l_pieces, l_extra, IDC_ORIGIN_FIRST, {IDC_BANNER, IDC_VERSION_BUTTON});
}

void BaseWindow::OnShowVersion() {
  VersionInfoDialog l_dialog(m_instance_);
  l_dialog.Initialize(m_request_.data_store);
  // The dialog's picture and font go with it.
  l_dialog.DoModal();
}

}  // namespace tavc
