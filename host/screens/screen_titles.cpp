#include "host/screens/screen_titles.h"

namespace tavc {
namespace {

// The password entry screen names the operation the password is for.
std::uint32_t PasswordEntryTitleId(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm: return 3004;
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo: return 3005;
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm: return 3014;
    case RequestMode::kUnknown:
    case RequestMode::kLogin:
    case RequestMode::kCancel:
    case RequestMode::kPasswordChange:
    case RequestMode::kGpkiPasswordChange: return 3003;
  }
  return 3003;
}

}  // namespace

std::uint32_t ScreenTitleId(ScreenKind in_l_kind, RequestMode in_l_mode) {
  switch (in_l_kind) {
    case ScreenKind::kVersionInfo: return 3001;
    case ScreenKind::kCardRequest: return 3002;
    case ScreenKind::kPasswordEntry: return PasswordEntryTitleId(in_l_mode);
    case ScreenKind::kProcessing: return 3006;
    case ScreenKind::kError: return 3007;
    case ScreenKind::kPasswordSelect: return 3010;
    case ScreenKind::kPasswordChange: return in_l_mode == RequestMode::kGpkiPasswordChange ? 3016 : 3011;
    case ScreenKind::kPasswordChangeResult: return 3012;
    case ScreenKind::kCertificateConfirm: return 3013;
    case ScreenKind::kCertificateConfirmGpkiAp: return 3015;
  }
  return 0;
}

}  // namespace tavc
