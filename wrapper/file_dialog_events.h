#pragma once
// What the certificate-file dialog tells the frame that owns it, and the
// user's answer to the end confirmation; the same on every platform.
#include <string>

enum class [[nodiscard]] EndChoice { kEnd, kStay };

class FileDialogEvents {
 public:
  // OK with a file and a password: TAV is to be started with them.
  virtual void OnFileChosen(const std::wstring& in_path, const std::wstring& in_password) = 0;
  // Cancel, and the user confirmed the end; the dialog is gone.
  virtual void OnEndChosen() = 0;
  // The dialog failed unexpectedly (an exception).
  virtual void OnDialogFailed() noexcept = 0;

 protected:
  ~FileDialogEvents() = default;
};
