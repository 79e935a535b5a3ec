#include "host/app/frame_window.h"

#include "host/app/integrity_level.h"
#include "host/app/owned_dialogs.h"
#include "host/resources/message_texts.h"
#include "host/screens/win32/dialog_screen.h"
#include "host/screens/win32/frame_metrics.h"
#include "host/screens/win32/ui_language.h"
#include "host/screens/window_placement.h"
#include "platform/own_version.h"

namespace tavc {
namespace {

constexpr std::uint32_t kSingleInstanceMutexText = 3308;
constexpr double kDefaultDpi = 96.0;

void ReadScale(double& out_l_x, double& out_l_y) {
  const HDC l_screen = GetDC(nullptr);
  out_l_x = GetDeviceCaps(l_screen, LOGPIXELSX) / kDefaultDpi;
  out_l_y = GetDeviceCaps(l_screen, LOGPIXELSY) / kDefaultDpi;
  ReleaseDC(nullptr, l_screen);
}

FramePlatform MakePlatform(MessagePoster& io_l_poster, ScreenFactory& io_l_screens, FrameHost& io_l_host,
                           std::function<int()> in_l_check_multiple_startup,
                           std::function<void()> in_l_release_single_instance) {
  double l_scale_x = 1.0;
  double l_scale_y = 1.0;
  ReadScale(l_scale_x, l_scale_y);
  return FramePlatform{platform::ProcessStdStreams(),
                       &platform::ReadOwnProductVersion,
                       platform::ProcessInputPipe(),
                       platform::SystemSCardApi(),
                       platform::ProcessUserRegistry(),
                       io_l_poster,
                       io_l_screens,
                       io_l_host,
                       std::move(in_l_check_multiple_startup),
                       GetIntegrityLevel(),
                       l_scale_x,
                       l_scale_y,
                       std::move(in_l_release_single_instance)};
}

bool IsApplicationMessage(UINT in_l_message) {
  return (in_l_message >= WM_APP01 && in_l_message <= WM_APP09) || in_l_message == WM_TVNNOTIFY;
}

}  // namespace

FrameWindow::FrameWindow(HINSTANCE in_l_instance) : m_instance_(in_l_instance), m_screens_(in_l_instance) {
  m_core_ = std::make_unique<FrameCore>(MakePlatform(
      *this, m_screens_, *this, [this] { return CheckMultipleStartup(); }, [this] { m_single_instance_.Release(); }));
}

FrameWindow::~FrameWindow() {
  const HWND l_window = m_window_.load();
  if (l_window != nullptr) ::DestroyWindow(l_window);
}

int FrameWindow::CheckMultipleStartup() { return m_single_instance_.Take(LoadMessageText(kSingleInstanceMutexText)); }

bool FrameWindow::Create(int in_l_show) {
  WNDCLASSEXW l_class{};
  l_class.cbSize = sizeof(l_class);
  l_class.lpfnWndProc = WindowProc;
  l_class.hInstance = m_instance_;
  l_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  l_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  l_class.lpszClassName = kClassName;
  // No icon: the frame shows none.
  if (RegisterClassExW(&l_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  const HWND l_window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, kClassName, L"Tavori",
                                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, CW_USEDEFAULT,
                                        CW_USEDEFAULT, 0, 0, nullptr, nullptr, m_instance_, this);
  if (l_window == nullptr) return false;
  ShowWindow(l_window, in_l_show);
  return true;
}

void FrameWindow::RunMessageLoop() {
  MSG l_message{};
  BOOL l_got;
  while ((l_got = GetMessageW(&l_message, nullptr, 0, 0)) != 0) {
    // A failed GetMessageW cannot get better by retrying: the run ends.
    if (l_got == -1) return;
    // Enter, Escape and Tab work on the current screen as on any dialog.
    const HWND l_screen = CurrentScreenWindow();
    if (l_screen != nullptr && IsDialogMessageW(l_screen, &l_message)) continue;
    TranslateMessage(&l_message);
    DispatchMessageW(&l_message);
  }
}

bool FrameWindow::Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  const HWND l_window = m_window_.load();
  return l_window != nullptr && PostMessageW(l_window, in_l_message, static_cast<WPARAM>(in_l_wparam),
                                             static_cast<LPARAM>(in_l_lparam)) != FALSE;
}

void FrameWindow::DestroyFrame() {
  const HWND l_window = m_window_.load();
  if (l_window != nullptr) ::DestroyWindow(l_window);
}

HWND FrameWindow::CurrentScreenWindow() const {
  const auto* l_screen = dynamic_cast<const DialogScreen*>(m_core_->GetCurrentScreen());
  return l_screen != nullptr ? l_screen->GetWindowHandle() : nullptr;
}

void FrameWindow::ResizeFrame(bool in_l_first) {
  const HWND l_window = m_window_.load();
  const HWND l_screen = CurrentScreenWindow();
  if (l_window == nullptr || l_screen == nullptr) return;
  RECT l_client{};
  GetClientRect(l_screen, &l_client);
  const FrameMetrics l_metrics = SystemFrameMetrics(l_window);
  const ScreenSize l_size =
      FrameSizeFor(ScreenSize{l_client.right - l_client.left, l_client.bottom - l_client.top}, l_metrics);
  m_core_->GetDataStore().SetSize(l_size.cx, l_size.cy);
  // The user is dragging the frame: the new size waits for the end of the drag.
  if (m_sizemove_flag_ == 1) return;
  RECT l_current{};
  GetWindowRect(l_window, &l_current);
  const PixelPoint l_position = FramePosition(
      l_size, in_l_first, l_metrics, PixelRect{l_current.left, l_current.top, l_current.right, l_current.bottom});
  // Brought to the top once, without staying above other programs.
  SetWindowPos(l_window, HWND_TOPMOST, l_position.x, l_position.y, l_size.cx, l_size.cy, SWP_SHOWWINDOW);
  SetWindowPos(l_window, HWND_NOTOPMOST, l_position.x, l_position.y, l_size.cx, l_size.cy, SWP_SHOWWINDOW);
  SetForegroundWindow(l_window);
}

void FrameWindow::CloseModals() { CancelOwnedDialogs(m_window_.load()); }

void FrameWindow::RestoreSize() {
  const ScreenSize l_size = m_core_->GetDataStore().GetSize();
  SetWindowPos(m_window_.load(), nullptr, 0, 0, l_size.cx, l_size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

void FrameWindow::OnCreate() {
  const HWND l_window = m_window_.load();
  SetWindowLongPtrW(l_window, GWL_EXSTYLE, GetWindowLongPtrW(l_window, GWL_EXSTYLE) | WS_EX_DLGMODALFRAME);
  SetWindowLongPtrW(l_window, GWL_STYLE,
                    GetWindowLongPtrW(l_window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_MAXIMIZEBOX | WS_THICKFRAME));
  PreferUiLanguage(m_core_->GetDataStore().GetLanguage() == L"en" ? L"en" : L"ja-JP");
  m_core_->OnCreate(l_window);
}

LRESULT CALLBACK FrameWindow::WindowProc(HWND in_l_window, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam) {
  if (in_l_message == WM_NCCREATE) {
    auto* l_self = static_cast<FrameWindow*>(reinterpret_cast<CREATESTRUCTW*>(in_l_lparam)->lpCreateParams);
    SetWindowLongPtrW(in_l_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(l_self));
    l_self->m_window_.store(in_l_window);
  }
  auto* l_self = reinterpret_cast<FrameWindow*>(GetWindowLongPtrW(in_l_window, GWLP_USERDATA));
  if (l_self == nullptr) return DefWindowProcW(in_l_window, in_l_message, in_l_wparam, in_l_lparam);
  if (in_l_message == WM_NCDESTROY) {
    SetWindowLongPtrW(in_l_window, GWLP_USERDATA, 0);
    l_self->m_window_.store(nullptr);
    return DefWindowProcW(in_l_window, in_l_message, in_l_wparam, in_l_lparam);
  }
  return l_self->HandleMessage(in_l_message, in_l_wparam, in_l_lparam);
}

LRESULT FrameWindow::HandleMessage(UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam) {
  const HWND l_window = m_window_.load();
  if (IsApplicationMessage(in_l_message)) {
    m_core_->OnTvnNotify(in_l_message, in_l_wparam, in_l_lparam);
    return 0;
  }
  switch (in_l_message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_CLOSE:
      // The current screen decides (end alert, or the end of the run).
      m_core_->OnClose();
      return 0;
    case WM_ENTERSIZEMOVE:
      m_sizemove_flag_ = 1;
      return 0;
    case WM_EXITSIZEMOVE:
      m_sizemove_flag_ = 0;
      RestoreSize();
      return 0;
    case WM_SYSCOMMAND:
      if ((in_l_wparam & 0xFFF0U) == SC_MINIMIZE) {
        m_minimized_ = true;
        m_focus_before_minimize_ = GetFocus();
      }
      break;
    case WM_SIZE:
      if (in_l_wparam == SIZE_RESTORED && m_minimized_) {
        m_minimized_ = false;
        RestoreSize();
        if (m_focus_before_minimize_ != nullptr && IsWindow(m_focus_before_minimize_))
          SetFocus(m_focus_before_minimize_);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(l_window, in_l_message, in_l_wparam, in_l_lparam);
}

}  // namespace tavc
