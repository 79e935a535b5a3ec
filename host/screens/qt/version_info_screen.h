#pragma once
// The version-up notice shown before the request's work when a newer version
// exists: Skip goes on with the request, Update opens the download page in the
// user's browser and ends it. Escape and the close box end it without opening
// anything.
#include "host/screens/qt/qt_screen.h"

namespace tavc {

class VersionInfoScreen final : public QtScreen {
  Q_OBJECT

 public:
  VersionInfoScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);
  // Ends the request without asking.
  void OnClose() override;

 private:
  void OnProceed();
  void OnUpdate();
  bool IsLowIntegrity() const;

  std::wstring m_download_address_;
};

}  // namespace tavc
