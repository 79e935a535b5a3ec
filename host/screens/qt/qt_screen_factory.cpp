#include "host/screens/qt/qt_screen_factory.h"

#include "host/screens/qt/card_request_screen.h"
#include "host/screens/qt/certificate_confirm_screen.h"
#include "host/screens/qt/certificate_confirm_screen_gpki_ap.h"
#include "host/screens/qt/error_screen.h"
#include "host/screens/qt/password_change_result_screen.h"
#include "host/screens/qt/password_change_screen.h"
#include "host/screens/qt/password_select_screen.h"
#include "host/screens/qt/password_set_screen.h"
#include "host/screens/qt/processing_screen.h"
#include "host/screens/qt/version_info_screen.h"

namespace tavc {
namespace {

QtScreen* MakeWidget(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory) {
  switch (in_l_request.kind) {
    case ScreenKind::kCardRequest: return new CardRequestScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kPasswordEntry: return new PasswordSetScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kProcessing: return new ProcessingScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kError: return new ErrorScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kPasswordSelect: return new PasswordSelectScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kPasswordChange: return new PasswordChangeScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kPasswordChangeResult:
      return new PasswordChangeResultScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kCertificateConfirm:
      return new CertificateConfirmScreen(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kCertificateConfirmGpkiAp:
      return new CertificateConfirmScreenGpkiAp(in_l_request, io_l_poster, io_l_factory);
    case ScreenKind::kVersionInfo: return new VersionInfoScreen(in_l_request, io_l_poster, io_l_factory);
  }
  return nullptr;
}

}  // namespace

void QtScreenHandle::Show() {
  if (m_widget_.isNull()) return;
  m_widget_->show();
  m_widget_->FocusFirst();
}

void QtScreenHandle::OnClose() {
  if (!m_widget_.isNull()) m_widget_->OnClose();
}

std::unique_ptr<Screen> QtScreenFactory::CreateScreen(const ScreenRequest& in_l_request) {
  if (in_l_request.error_info == nullptr || in_l_request.data_store == nullptr) return nullptr;
  QtScreen* l_widget = MakeWidget(in_l_request, m_poster_, *this);
  if (l_widget == nullptr) return nullptr;
  l_widget->setParent(m_parent_.data());
  l_widget->hide();
  return std::make_unique<QtScreenHandle>(l_widget);
}

}  // namespace tavc
