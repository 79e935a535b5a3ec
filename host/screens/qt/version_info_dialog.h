#pragma once
// The version information every screen's information button opens:
// window-modal over the frame, with the product picture, name, version and
// maker; OK, Escape or the close box end it.
#include <QDialog>

#include <string>

namespace tavc {

class VersionInfoDialog final : public QDialog {
  Q_OBJECT

 public:
  VersionInfoDialog(const std::wstring& in_l_own_version, QWidget* in_l_screen);
};

}  // namespace tavc
