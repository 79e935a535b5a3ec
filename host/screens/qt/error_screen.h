#pragma once
// The last screen of a failed request: the error in red, the FAQ address for
// some messages, and OK, which ends the request.
#include "host/screens/qt/qt_screen.h"

namespace tavc {

class ErrorScreen final : public QtScreen {
  Q_OBJECT

 public:
  ErrorScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);
  // OK and the frame's close both end the request.
  void OnClose() override;

 private:
  // No Cancel button: Escape does nothing here.
  void OnCancel() override {}
};

}  // namespace tavc
