#pragma once
// The end confirmation a screen opens on close: window-modal over the frame,
// answered through signals (no nested event loop). What the answers mean lives
// in EndAlert. The dialog is its screen's child, so a screen replaced while it
// is open (the page went away) takes it along; EndAlert then lets a waiting
// worker go on as after Cancel.
#include <QDialog>

#include <memory>

#include "host/flow/end_alert.h"

namespace tavc {

class EndAlertDialog final : public QDialog {
  Q_OBJECT

 public:
  EndAlertDialog(ErrorInfo* in_l_error_info, DataStore* in_l_data_store, MessagePoster& io_l_poster,
                 QWidget* in_l_screen);
  ~EndAlertDialog() override;

  void accept() override;
  void reject() override;

 private:
  std::unique_ptr<EndAlert> m_alert_;
};

}  // namespace tavc
