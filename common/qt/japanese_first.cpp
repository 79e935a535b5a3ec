#include "common/qt/japanese_first.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tavc {

bool PreferJapanese() {
  QFont l_font = QApplication::font();
  l_font.setFamilies({QStringLiteral("Noto Sans CJK JP"), l_font.family()});
  QApplication::setFont(l_font);
  static QTranslator s_texts;
  const QLocale l_japanese(QLocale::Japanese, QLocale::Japan);
  QLocale::setDefault(l_japanese);
  return s_texts.load(l_japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
         QCoreApplication::installTranslator(&s_texts);
}

}  // namespace tavc
