#include "host/screens/qt/version_info_screen.h"

#include <QDesktopServices>
#include <QPushButton>
#include <QUrl>

#include "common/qt/qt_text.h"
#include "host/resources/message_texts.h"
#include "host/screens/screen_titles.h"
#include "host/screens/version_notice.h"

namespace tavc {

VersionInfoScreen::VersionInfoScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                                     ScreenFactory& io_l_factory)
    : QtScreen(in_l_request, io_l_poster, io_l_factory, "VersionInfoScreen"),
      m_download_address_(LoadMessageText(3310)) {
  const bool l_must_update = IsMustUpdate(Error().GetCode());
  if (IsLowIntegrity()) Error().SetError(LowIntegrityCode(Error().GetCode()), L"", L"", L"");
  SetCaption(ScreenTitleId(ScreenKind::kVersionInfo, Store().GetMode()));
  AddBanner();
  AddText("message", Error().GetMessage());
  // The address is shown where the notice cannot open it.
  if (IsLowIntegrity()) AddAddress(3303, m_download_address_);
  QHBoxLayout* l_row = AddButtonRow();
  QPushButton* l_skip = AddButton(l_row, "skip", 3102);
  QPushButton* l_update = AddButton(l_row, "update", IsLowIntegrity() ? 3101 : 3103);
  // A version that may no longer be used cannot skip: the one button left is the default.
  l_skip->setVisible(!l_must_update);
  l_skip->setEnabled(!l_must_update);
  SetDefaultButton(l_must_update ? l_update : l_skip);
  l_update->setAutoDefault(l_must_update);
  connect(l_skip, &QPushButton::clicked, this, [this] { OnProceed(); });
  connect(l_update, &QPushButton::clicked, this, [this] { OnUpdate(); });
  AddVersionButton();
}

bool VersionInfoScreen::IsLowIntegrity() const { return Store().GetIntegrityLevel() < kMediumIntegrity; }

void VersionInfoScreen::OnProceed() {
  const bool l_crypto_api = !Store().GetCertificateType().empty() || !Store().GetFilePath().empty();
  Post(l_crypto_api ? WM_APP07 : WM_APP01);
}

void VersionInfoScreen::OnUpdate() {
  // The address is the build's own https page; the desktop opens it in the user's browser.
  if (!IsLowIntegrity()) QDesktopServices::openUrl(QUrl(ToQString(m_download_address_), QUrl::StrictMode));
  OnClose();
}

void VersionInfoScreen::OnClose() { Post(WM_APP04); }

}  // namespace tavc
