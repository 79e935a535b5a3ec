#pragma once
// The wrapper's two small boxes in Qt: the error box and the end confirmation,
// with the texts of the wrapper's string table.
#include <QDialog>

#include <string>

#include "wrapper/posix/wrapper_ui.h"

// Modal error box; takes a code of the wrapper or a whole text.
class CErrorMessageDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CErrorMessageDlg(const std::wstring& in_code_or_text, QWidget* in_parent = nullptr);
  // The box also closes by itself once this input ends (the page has gone).
  void CloseWhenEnded(int in_input);
};

// Modal "end the application?" box: OK ends, Cancel (or closing it) stays.
class CEndConfirmDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CEndConfirmDlg(QWidget* in_parent = nullptr);
  static EndChoice Ask(QWidget* in_parent);
};
