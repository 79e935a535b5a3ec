#pragma once
// What both programs' Qt applications set up before their first window: a
// Japanese font first (its own glyph forms, not those of another CJK font
// found first), and Qt's own texts (its file and save dialogs) in Japanese.
namespace tavc {

// Needs a QApplication. False when Qt's translations (Debian's
// qt6-translations-l10n) are not there; the font is set either way.
bool PreferJapanese();

}  // namespace tavc
