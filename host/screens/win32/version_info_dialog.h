#pragma once
// The version information every screen's information button opens: a modal
// dialog owned by the frame with the product picture, name, version and maker.
#include <windows.h>

#include "host/state/data_store.h"

namespace tavc {

class VersionInfoDialog {
 public:
  explicit VersionInfoDialog(HINSTANCE in_l_instance) : m_instance_(in_l_instance) {}
  ~VersionInfoDialog();
  VersionInfoDialog(const VersionInfoDialog&) = delete;
  VersionInfoDialog& operator=(const VersionInfoDialog&) = delete;

  void Initialize(DataStore* in_l_data_store);
  // Shows the dialog until OK or Cancel: 1, or -1 when it cannot be shown.
  INT_PTR DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  void OnInitDialog(HWND in_l_dialog);

  HINSTANCE m_instance_;
  DataStore* m_data_store_ = nullptr;
  // Made by the dialog, deleted once it has ended.
  HBITMAP m_picture_ = nullptr;
  HFONT m_font_ = nullptr;
};

}  // namespace tavc
