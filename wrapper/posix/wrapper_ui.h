#pragma once
// What the frame asks of the user's side: the certificate-file dialog and the
// two boxes. The product draws them with Qt; the tests answer for the user.
#include <string>

#include "wrapper/file_dialog_events.h"

class WrapperUi {
 public:
  virtual ~WrapperUi() = default;
  // Shows the certificate-file dialog for the request (its origin line, when
  // the request names one); false when it cannot be shown.
  virtual bool ShowFileDialog(const std::wstring& in_request, FileDialogEvents& in_events) = 0;
  // Hides it while a TAV runs; brings it back to the front for another try.
  virtual void HideFileDialog() = 0;
  virtual void RaiseFileDialog() = 0;
  // Modal error box for a code of the wrapper or a whole text.
  virtual void ShowError(const std::wstring& in_code_or_text) = 0;
  // Closes whatever the wrapper shows: the run has ended.
  virtual void CloseAll() = 0;
  // Waits for the next work of the frame's queue or of the user's side, and
  // runs it.
  virtual void WaitForEvents() = 0;
};
