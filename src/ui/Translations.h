// The window's language: Russian for users whose locale asks for it, the English of the code
// otherwise, with Qt's own texts (standard buttons and dialogs) in the same language.
#pragma once

#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace bookloom {

enum class WindowLanguage { kEnglish, kRussian };

// The first of the user's languages (most wanted first, as QLocale::uiLanguages lists them, which
// follows LANGUAGE, then LC_ALL, LC_MESSAGES and LANG) that the window speaks; English when it
// speaks none of them.
WindowLanguage ChooseWindowLanguage(const QStringList& uiLanguages);

// Installs the window's translation and Qt's for the language `locale` asks for, for as long as
// this object lives; English needs none.
class Translations {
 public:
  explicit Translations(const QLocale& locale);

  WindowLanguage Language() const { return language_; }
  // Whether the window's own messages were found; false for English.
  bool WindowMessagesLoaded() const { return !window_.isEmpty(); }

 private:
  WindowLanguage language_;
  QTranslator window_, qt_;
};

}  // namespace bookloom
