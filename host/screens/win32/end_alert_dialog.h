#pragma once
// The end confirmation a screen opens on close: a modal dialog owned by the
// frame window. What the answers mean lives in EndAlert; this is its window.
#include <windows.h>

#include <memory>

#include "host/flow/end_alert.h"
#include "host/flow/frame_message_poster.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"

namespace tavc {

class EndAlertDialog {
 public:
  explicit EndAlertDialog(HINSTANCE in_l_instance) : m_instance_(in_l_instance) {}
  EndAlertDialog(const EndAlertDialog&) = delete;
  EndAlertDialog& operator=(const EndAlertDialog&) = delete;

  // The screen's error record and the store whose frame window owns the dialog.
  void Initialize(ErrorInfo* in_l_error_info, DataStore* in_l_data_store);
  // Shows the dialog until the user answers: IDOK, IDCANCEL, or -1 when it
  // cannot be shown (or Initialize was not called).
  INT_PTR DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND in_l_dialog, UINT in_l_message, WPARAM in_l_wparam, LPARAM in_l_lparam);
  void OnInitDialog(HWND in_l_dialog);

  HINSTANCE m_instance_;
  DataStore* m_data_store_ = nullptr;
  std::unique_ptr<FrameMessagePoster> m_poster_;
  std::unique_ptr<EndAlert> m_alert_;
};

}  // namespace tavc
