#pragma once
// A password field of the Qt screens: no input-method composition (which
// would hold the password outside the field) in either echo mode, a filter by
// the screen's typing rule that moves the cursor back by what it removed, and
// the text taken out as UTF-16 units. Qt keeps a shared copy of the text it
// shows; setText({}) frees it and drops the undo history with it.
#include <QLineEdit>

#include <functional>
#include <string>

namespace tavc {

class PasswordField final : public QLineEdit {
  Q_OBJECT

 public:
  using Filter = std::function<std::wstring(const std::wstring&)>;

  PasswordField(const char* in_l_name, int in_l_limit, Filter in_l_filter, QWidget* in_l_parent);

  // Plain text (show-password) or dots.
  void SetShown(bool in_l_shown);
  // The text as typed; the caller wipes it.
  std::wstring Text() const;
  // Empties the field, its undo history with it.
  void Clear() { setText({}); }

 private:
  void KeepAllowed();
  void DisableComposition();

  Filter m_filter_;
};

}  // namespace tavc
