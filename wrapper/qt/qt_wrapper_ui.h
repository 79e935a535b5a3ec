#pragma once
// The wrapper's user side on Linux: Qt dialogs, made only when one must show,
// so that a run without a dialog needs no display. Once Qt runs, its event
// loop also runs the frame's queue.
#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <memory>

#include "wrapper/posix/event_queue.h"
#include "wrapper/posix/wrapper_ui.h"
#include "wrapper/qt/file_selector_dlg.h"

class QtWrapperUi final : public WrapperUi {
 public:
  explicit QtWrapperUi(EventQueue& in_queue) : m_queue(in_queue) {}
  ~QtWrapperUi() override;

  bool ShowFileDialog(const std::wstring& in_request, FileDialogEvents& in_events) override;
  void HideFileDialog() override;
  void RaiseFileDialog() override;
  void ShowError(const std::wstring& in_code_or_text) override;
  void CloseAll() override;
  void WaitForEvents() override;

  // A box that stands alone (no frame): shown until the user closes it, or,
  // with an input, until that input ends.
  void ShowLoneError(const std::wstring& in_code_or_text, int in_close_when_ended = -1);

 private:
  // Starts Qt on first need; false when no display can be had.
  bool StartQt();

  EventQueue& m_queue;
  std::unique_ptr<QApplication> m_application;
  std::unique_ptr<QSocketNotifier> m_queueNotifier;
  QPointer<CFileSelectorDlg> m_fileDlg;
};
