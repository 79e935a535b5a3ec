#pragma once
// How the event controller makes screens: it says which screen and with what;
// the factory of the platform builds it (Win32 dialogs, or headless screens).
#include <memory>

#include "host/flow/screen.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"

namespace tavc {

class Certificate;

enum class ScreenKind {
  kProcessing,
  kCardRequest,
  kPasswordEntry,
  kPasswordSelect,
  kPasswordChange,
  kPasswordChangeResult,
  kCertificateConfirm,
  kCertificateConfirmGpkiAp,
  kVersionInfo,
  kError,
};

struct ScreenRequest {
  ScreenKind kind = ScreenKind::kError;
  ErrorInfo* error_info = nullptr;
  DataStore* data_store = nullptr;
  // The processing screen's kind (0 to 7) and its progress sources.
  int process_mode = 0;
  ResultData* result_data = nullptr;
  Certificate* certificate = nullptr;
  // The GPKI confirmation's second certificate.
  Certificate* second_certificate = nullptr;
};

class ScreenFactory {
 public:
  virtual ~ScreenFactory() = default;
  // A new screen, initialised but without a window yet; null when it cannot be made.
  virtual std::unique_ptr<Screen> CreateScreen(const ScreenRequest& in_l_request) = 0;
};

}  // namespace tavc
