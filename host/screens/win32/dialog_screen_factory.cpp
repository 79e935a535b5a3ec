#include "host/screens/win32/dialog_screen_factory.h"

#include "host/screens/password_rules.h"
#include "host/screens/win32/card_request_screen.h"
#include "host/screens/win32/certificate_confirm_screen.h"
#include "host/screens/win32/certificate_confirm_screen_gpki_ap.h"
#include "host/screens/win32/error_screen.h"
#include "host/screens/win32/password_set_screen.h"
#include "host/screens/win32/password_select_screen.h"
#include "host/screens/win32/password_change_screen.h"
#include "host/screens/win32/password_change_result_screen.h"
#include "host/screens/win32/processing_screen.h"
#include "host/screens/win32/ui_language.h"
#include "host/screens/win32/version_info_screen.h"

namespace tavc {

std::unique_ptr<Screen> DialogScreenFactory::CreateScreen(const ScreenRequest& in_l_request) {
  if (in_l_request.error_info == nullptr || in_l_request.data_store == nullptr) return nullptr;
  const DataStore& l_store = *in_l_request.data_store;
  // Screens load their resources in Japanese; only an English log-in asks for its password in English.
  PreferUiLanguage(in_l_request.kind == ScreenKind::kPasswordEntry
                       ? PasswordScreenLanguage(l_store.GetMode(), l_store.GetLanguage())
                       : L"ja-JP");
  switch (in_l_request.kind) {
    case ScreenKind::kCardRequest: return std::make_unique<CardRequestScreen>(m_instance_, in_l_request);
    case ScreenKind::kPasswordEntry: return std::make_unique<PasswordSetScreen>(m_instance_, in_l_request);
    case ScreenKind::kProcessing: return std::make_unique<ProcessingScreen>(m_instance_, in_l_request);
    case ScreenKind::kError: return std::make_unique<ErrorScreen>(m_instance_, in_l_request);
    case ScreenKind::kPasswordSelect: return std::make_unique<PasswordSelectScreen>(m_instance_, *this, in_l_request);
    case ScreenKind::kPasswordChange: return std::make_unique<PasswordChangeScreen>(m_instance_, *this, in_l_request);
    case ScreenKind::kPasswordChangeResult:
      return std::make_unique<PasswordChangeResultScreen>(m_instance_, in_l_request);
    case ScreenKind::kCertificateConfirm:
      return std::make_unique<CertificateConfirmScreen>(m_instance_, in_l_request);
    case ScreenKind::kCertificateConfirmGpkiAp:
      return std::make_unique<CertificateConfirmScreenGpkiAp>(m_instance_, in_l_request);
    case ScreenKind::kVersionInfo: return std::make_unique<VersionInfoScreen>(m_instance_, in_l_request);
  }
  return nullptr;
}

}  // namespace tavc
