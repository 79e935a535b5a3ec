// The GPKI confirmation's save dialog runs its own message loop, which goes on
// delivering the frame's messages: here the frame deletes the screen while the
// dialog is open, as an interrupt does, and the user then presses Save. The
// deleted screen must post nothing and set no error. Freed memory is
// overwritten while the case runs, so that a screen used after its end reads
// garbage rather than its old members.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "host/resources/resource_ids.h"
#include "host/screens/win32/certificate_confirm_screen_gpki_ap.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/message_poster.h"

namespace {

std::atomic<bool> g_poison_freed{false};

void FreeBlock(void* in_l_block, std::size_t in_l_size) {
  if (in_l_block == nullptr) return;
  if (g_poison_freed) std::memset(in_l_block, 0xDD, in_l_size);
  std::free(in_l_block);
}

}  // namespace

void operator delete(void* in_l_block) noexcept { FreeBlock(in_l_block, in_l_block ? _msize(in_l_block) : 0); }
void operator delete(void* in_l_block, std::size_t in_l_size) noexcept { FreeBlock(in_l_block, in_l_size); }

namespace {

constexpr UINT kDeleteScreen = WM_APP + 0x300;
tavc::CertificateConfirmScreenGpkiAp* g_screen = nullptr;
std::atomic<int> g_frame_results{0};

LRESULT CALLBACK FrameProc(HWND in_l_window, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam) {
  if (in_l_message == kDeleteScreen) {
    delete g_screen;
    g_screen = nullptr;
    return 0;
  }
  if (in_l_message >= tavc::WM_APP01 && in_l_message <= tavc::WM_APP08) ++g_frame_results;
  return DefWindowProcW(in_l_window, in_l_message, in_l_wparam, in_l_lparam);
}

BOOL CALLBACK FindSaveDialog(HWND in_l_window, LPARAM in_l_found) {
  DWORD l_process = 0;
  GetWindowThreadProcessId(in_l_window, &l_process);
  wchar_t l_class[16] = {};
  GetClassNameW(in_l_window, l_class, 16);
  if (l_process != GetCurrentProcessId() || !IsWindowVisible(in_l_window) || std::wstring(l_class) != L"#32770") {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(in_l_found) = in_l_window;
  return FALSE;
}

// The interrupt and the user: once the dialog shows, the frame deletes the
// screen; once the screen's window is gone, a name is given and saved.
void InterruptThenSave(HWND in_l_frame, HWND in_l_screen, const std::wstring& in_l_name) {
  HWND l_dialog = nullptr;
  for (int l_try = 0; l_try < 400 && l_dialog == nullptr; ++l_try) {
    Sleep(50);
    EnumWindows(FindSaveDialog, reinterpret_cast<LPARAM>(&l_dialog));
  }
  if (l_dialog == nullptr) return;
  PostMessageW(in_l_frame, kDeleteScreen, 0, 0);
  for (int l_try = 0; l_try < 400 && IsWindow(in_l_screen); ++l_try) Sleep(50);
  HWND l_name = GetDlgItem(l_dialog, 1148);
  if (l_name == nullptr) l_name = GetDlgItem(l_dialog, 1152);
  SendMessageW(l_name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(in_l_name.c_str()));
  PostMessageW(l_dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(GpkiSaveScreen, AScreenDeletedWhileTheSaveDialogIsOpenIsNotTouched) {
  const HINSTANCE l_instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX l_controls{sizeof l_controls, ICC_LISTVIEW_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&l_controls);
  WNDCLASSW l_class{};
  l_class.lpfnWndProc = FrameProc;
  l_class.hInstance = l_instance;
  l_class.lpszClassName = L"TavSaveTestFrame";
  RegisterClassW(&l_class);
  const HWND l_frame = CreateWindowW(L"TavSaveTestFrame", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 600,
                                     nullptr, nullptr, l_instance, nullptr);
  ASSERT_NE(l_frame, nullptr);
  tavc::DataStore l_store;
  l_store.SetScreenHandle(l_frame);
  tavc::ErrorInfo l_error;
  tavc::ScreenRequest l_request;
  l_request.kind = tavc::ScreenKind::kCertificateConfirmGpkiAp;
  l_request.error_info = &l_error;
  l_request.data_store = &l_store;
  g_screen = new tavc::CertificateConfirmScreenGpkiAp(l_instance, l_request);
  g_screen->Show();
  const HWND l_screen = g_screen->GetWindowHandle();
  ASSERT_NE(l_screen, nullptr);
  wchar_t l_folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, l_folder);
  // No certificate: the bytes are refused before any file is made.
  std::thread l_user(InterruptThenSave, l_frame, l_screen, std::wstring(l_folder) + L"tav_save_test.cer");
  g_poison_freed = true;
  SendMessageW(l_screen, WM_COMMAND, MAKEWPARAM(IDC_GPKI_SAVE, BN_CLICKED), 0);
  g_poison_freed = false;
  l_user.join();
  MSG l_message{};
  while (PeekMessageW(&l_message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&l_message);
  EXPECT_EQ(g_screen, nullptr);
  EXPECT_EQ(g_frame_results, 0);
  EXPECT_TRUE(l_error.GetCode().empty());
  DestroyWindow(l_frame);
}

}  // namespace
