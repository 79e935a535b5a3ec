#pragma once
// Shown while TAV works without the user: a busy bar, or while signing a
// counter "n of m" with a bar that follows the signatures a worker makes.
#include <QTimer>

#include "host/screens/qt/qt_screen.h"

class QProgressBar;

namespace tavc {

class ProcessingScreen final : public QtScreen {
  Q_OBJECT

 public:
  ProcessingScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory);
  // Ending and the password change cannot be interrupted.
  void OnClose() override;

 private:
  void OnTimer();
  void ShowCount(std::size_t in_l_made, std::size_t in_l_total) const;

  QLabel* m_message_ = nullptr;
  QProgressBar* m_bar_ = nullptr;
  QTimer m_timer_;
};

}  // namespace tavc
