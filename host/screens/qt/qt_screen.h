#pragma once
// What every Qt screen shares: a dialog embedded in the frame (so Enter
// presses the default button and Escape asks the screen to cancel), its title,
// the banner by service ID, the information button, the red error line, the
// FAQ address field, the origin line, and the two modal dialogs every screen
// may open. The modals are window-modal and driven by signals, never by a
// nested event loop, and they are the screen's children: a screen replaced
// meanwhile (an interrupt) closes them with it.
#include <QDialog>
#include <QPointer>
#include <QPushButton>

#include <cstdint>
#include <string>

#include "host/flow/screen_factory.h"
#include "host/state/message_poster.h"

class QLabel;
class QBoxLayout;
class QHBoxLayout;
class QVBoxLayout;
class QPlainTextEdit;

namespace tavc {

class QtScreen : public QDialog {
  Q_OBJECT

 public:
  QtScreen(const ScreenRequest& in_l_request, MessagePoster& io_l_poster, ScreenFactory& io_l_factory,
           const char* in_l_name);
  ~QtScreen() override;

  // The frame's close, or the user's: most screens ask to end first.
  virtual void OnClose();
  // Escape and Cancel.
  void reject() override;

  // The end confirmation now open, if any (tests and the driver answer it).
  QDialog* OpenModal() const;
  // Gives the keys to the screen's first field, or its default button.
  void FocusFirst();
  // The size the screen asks for: wide enough for a line of Japanese text, and
  // as high as its wrapped texts need at that width (in the style's margins,
  // which polishing it first brings).
  QSize PreferredSize();

 protected:
  // Cancel and Escape; the screen's close unless a screen does otherwise.
  virtual void OnCancel() { OnClose(); }

  ErrorInfo& Error() const { return *m_request_.error_info; }
  DataStore& Store() const { return *m_request_.data_store; }
  const ScreenRequest& Request() const { return m_request_; }
  MessagePoster& Poster() const { return m_poster_; }
  QVBoxLayout* Body() const { return m_body_; }

  void SetCaption(std::uint32_t in_l_title_id);
  // The banner of the request's service ID, or nothing.
  void AddBanner();
  // The information button in the top right corner, which opens the version information.
  void AddVersionButton();
  // A text label of the body (word-wrapped); red for the error line.
  QLabel* AddText(const char* in_l_name, const std::wstring& in_l_text);
  QLabel* AddErrorLine(const std::wstring& in_l_text, bool in_l_red = true);
  // The caption and read-only field of a web address, in a 12-point font.
  QPlainTextEdit* AddAddress(std::uint32_t in_l_caption_id, const std::wstring& in_l_address);
  // When the request names an origin: its line, and the extra line when not empty.
  void AddOrigin(const std::wstring& in_l_extra_line = L"");
  // The row of buttons at the bottom, centred; the first becomes the default.
  QPushButton* AddButton(QHBoxLayout* io_l_row, const char* in_l_name, std::uint32_t in_l_text_id);
  QHBoxLayout* AddButtonRow();

  void Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam = 0) const;
  // A screen that opens its successor itself (the password selection and change).
  void OpenNextScreen(ScreenKind in_l_kind) const;
  void OpenEndAlert();
  void OpenVersionInfo();
  void SetFirstFocus(QWidget* in_l_widget) { m_first_focus_ = in_l_widget; }
  // The narrowest the screen is, in full-width characters (26 unless set).
  void SetLineCharacters(int in_l_characters) { m_line_characters_ = in_l_characters; }
  // Enter presses it wherever the focus is, but on another button.
  void SetDefaultButton(QPushButton* in_l_button);
  void keyPressEvent(QKeyEvent* in_l_event) override;

 private:
  ScreenRequest m_request_;
  MessagePoster& m_poster_;
  ScreenFactory& m_factory_;
  QVBoxLayout* m_body_ = nullptr;
  QHBoxLayout* m_top_ = nullptr;
  QPointer<QDialog> m_modal_;
  QPointer<QWidget> m_first_focus_;
  QPointer<QPushButton> m_default_;
  int m_line_characters_ = 26;
};

}  // namespace tavc
