#pragma once
// Our wide text (UTF-16 units in std::wstring on every platform) and Qt's
// QString, unit for unit: no locale, no UTF-32 detour through wchar_t.
#include <QString>

#include <string>

namespace tavc {

inline QString ToQString(const std::wstring& in_l_text) {
  QString l_text(static_cast<qsizetype>(in_l_text.size()), Qt::Uninitialized);
  for (std::size_t l_i = 0; l_i < in_l_text.size(); ++l_i) {
    l_text[static_cast<qsizetype>(l_i)] = QChar(static_cast<char16_t>(in_l_text[l_i]));
  }
  return l_text;
}

inline std::wstring FromQString(const QString& in_l_text) {
  std::wstring l_text;
  l_text.reserve(static_cast<std::size_t>(in_l_text.size()));
  for (const QChar l_unit : in_l_text) l_text.push_back(static_cast<wchar_t>(l_unit.unicode()));
  return l_text;
}

}  // namespace tavc
