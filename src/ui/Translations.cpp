#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace bookloom {

WindowLanguage ChooseWindowLanguage(const QStringList& uiLanguages) {
  for (const QString& name : uiLanguages) {
    const QLocale::Language language = QLocale(name).language();
    if (language == QLocale::Russian) return WindowLanguage::kRussian;
    if (language == QLocale::English) return WindowLanguage::kEnglish;
  }
  return WindowLanguage::kEnglish;
}

Translations::Translations(const QLocale& locale) : language_(ChooseWindowLanguage(locale.uiLanguages())) {
  if (language_ != WindowLanguage::kRussian) return;
  // The window's messages are built into the program; Qt's come with Qt's translations package,
  // and without them the standard buttons stay English.
  if (window_.load(QStringLiteral(":/i18n/bookloom_ru.qm"))) QCoreApplication::installTranslator(&window_);
  if (qt_.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&qt_);
}

}  // namespace bookloom
