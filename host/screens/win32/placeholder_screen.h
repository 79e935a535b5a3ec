#pragma once
// A stand-in for a screen whose own dialog does not exist yet: it shows the
// screen's name and the error message, and its OK and Cancel post what the
// real screen posts (host/screens/placeholder_action.h decides what).
#include <windows.h>

#include "host/core/screen_factory.h"
#include "host/screens/placeholder_action.h"
#include "host/screens/win32/dialog_screen.h"

namespace tavc {

class PlaceholderScreen final : public DialogScreen {
 public:
  // `in_l_factory` makes the screens this one opens itself (the password screens).
  PlaceholderScreen(HINSTANCE in_l_instance, ScreenFactory& in_l_factory, const ScreenRequest& in_l_request);
  ~PlaceholderScreen() override;
  PlaceholderScreen(const PlaceholderScreen&) = delete;
  PlaceholderScreen& operator=(const PlaceholderScreen&) = delete;

  bool Create() override;
  void Show() override;
  bool IsWindow() const override;
  void DestroyWindow() override;
  void OnClose() override;
  HWND GetWindowHandle() const override { return m_window_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  void OnInitDialog();
  void OnOk();
  // The last thing a handler does: the end alert's modal loop may end this
  // screen before it returns.
  void Carry(const PlaceholderOutcome& in_l_outcome);
  void ReadField(int in_l_id, std::wstring& out_l_text);

  HINSTANCE m_instance_;
  ScreenFactory& m_factory_;
  ScreenRequest m_request_;
  HWND m_window_ = nullptr;
};

}  // namespace tavc
