#pragma once
// Shows the certificate that will sign (My Number card, IC card or file) in
// eight fixed items and lets the user confirm it.
#include "host/screens/qt/qt_screen.h"

namespace tavc {

class CertificateConfirmScreen final : public QtScreen {
  Q_OBJECT

 public:
  CertificateConfirmScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster,
                           ScreenFactory& io_l_factory);
};

}  // namespace tavc
