#include "host/screens/qt/password_field.h"

#include "common/qt/qt_text.h"
#include "common/secure_wipe.h"

namespace tavc {

PasswordField::PasswordField(const char* in_l_name, int in_l_limit, Filter in_l_filter, QWidget* in_l_parent)
    : QLineEdit(in_l_parent), m_filter_(std::move(in_l_filter)) {
  setObjectName(QString::fromLatin1(in_l_name));
  setMaxLength(in_l_limit);
  setContextMenuPolicy(Qt::NoContextMenu);
  SetShown(false);
  connect(this, &QLineEdit::textChanged, this, [this] { KeepAllowed(); });
}

void PasswordField::DisableComposition() {
  // Qt turns the input method back on with every change of the echo mode.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                      Qt::ImhNoAutoUppercase);
}

void PasswordField::SetShown(bool in_l_shown) {
  setEchoMode(in_l_shown ? QLineEdit::Normal : QLineEdit::Password);
  DisableComposition();
}

std::wstring PasswordField::Text() const { return FromQString(text()); }

void PasswordField::KeepAllowed() {
  std::wstring l_text = Text();
  std::wstring l_kept = m_filter_(l_text);
  ScopedWipe<std::wstring> l_wipe_text(l_text);
  ScopedWipe<std::wstring> l_wipe_kept(l_kept);
  if (l_kept == l_text) return;
  const int l_removed = static_cast<int>(l_text.size() - l_kept.size());
  const int l_cursor = std::max(0, cursorPosition() - l_removed);
  // setText drops the undo history, which would otherwise keep what was typed.
  setText(ToQString(l_kept));
  setCursorPosition(l_cursor);
}

}  // namespace tavc
