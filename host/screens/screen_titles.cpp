#include "host/screens/screen_titles.h"

namespace tavc {

std::uint32_t ScreenTitleId(ScreenKind in_l_kind, const std::wstring& in_l_mode) {
  switch (in_l_kind) {
    case ScreenKind::kVersionInfo: return 3001;
    case ScreenKind::kCardRequest: return 3002;
    case ScreenKind::kPasswordEntry:
      if (in_l_mode == L"02" || in_l_mode == L"07") return 3004;
      if (in_l_mode == L"03" || in_l_mode == L"04") return 3005;
      if (in_l_mode == L"11" || in_l_mode == L"12") return 3014;
      return 3003;
    case ScreenKind::kProcessing: return 3006;
    case ScreenKind::kError: return 3007;
    case ScreenKind::kPasswordSelect: return 3010;
    case ScreenKind::kPasswordChange: return in_l_mode == L"13" ? 3016 : 3011;
    case ScreenKind::kPasswordChangeResult: return 3012;
    case ScreenKind::kCertificateConfirm: return 3013;
    case ScreenKind::kCertificateConfirmGpkiAp: return 3015;
  }
  return 0;
}

}  // namespace tavc
