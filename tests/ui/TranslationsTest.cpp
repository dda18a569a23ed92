// The window in Russian and English: which language a locale gets, the Russian messages reaching
// the menus, dialogs and questions, and a translation file that is complete and keeps what the
// program fills in or reads from each message.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeView>
#include <QXmlStreamReader>

#include "UiTestSupport.h"
#include "support/TestRuntime.h"
#include "ui/CoverPageDialog.h"
#include "ui/DescriptionDialog.h"
#include "ui/FileSettingsDialog.h"
#include "ui/MainWindow.h"
#include "ui/Translations.h"

namespace bookloom {
namespace {

TEST(ChooseWindowLanguage, TakesTheFirstLanguageTheWindowSpeaks) {
  const struct {
    QStringList uiLanguages;
    WindowLanguage language;
  } cases[] = {
      {{"ru-RU", "ru"}, WindowLanguage::kRussian},
      {{"ru"}, WindowLanguage::kRussian},
      {{"en-US", "en"}, WindowLanguage::kEnglish},
      {{"de-DE", "de"}, WindowLanguage::kEnglish},
      {{"uk-UA"}, WindowLanguage::kEnglish},
      {{"C"}, WindowLanguage::kEnglish},
      {{}, WindowLanguage::kEnglish},
      {{"en", "ru-RU"}, WindowLanguage::kEnglish},  // LANGUAGE=en:ru, or LANGUAGE=en beside LANG=ru_RU
      {{"de", "ru-RU"}, WindowLanguage::kRussian},  // no German: the next choice
      {{"fr-FR", "en-GB", "ru"}, WindowLanguage::kEnglish},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseWindowLanguage(c.uiLanguages), c.language) << c.uiLanguages.join(':').toStdString();
  EXPECT_EQ(ChooseWindowLanguage(QLocale(QLocale::Russian, QLocale::Russia).uiLanguages()),
            WindowLanguage::kRussian);
  EXPECT_EQ(ChooseWindowLanguage(QLocale(QLocale::German, QLocale::Germany).uiLanguages()),
            WindowLanguage::kEnglish);
}

class WindowLanguageTest : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindow> Window() {
    return std::make_unique<MainWindow>(TestRuntime(), messages, test::U16(dir / "bookloom"));
  }

  static QStringList MenuTitles(const MainWindow& window) {
    QStringList titles;
    for (const QAction* menu : window.menuBar()->actions()) titles << menu->text();
    return titles;
  }

  // Asks the window to remove `count` of its files, and gives back the question it asked.
  std::u16string RemoveQuestion(MainWindow& window, int count) {
    std::vector<std::u16string> files;
    for (int i = 0; i < count; ++i)
      files.push_back(test::WriteTextFile(dir / (std::to_string(i) + ".txt"), "text"));
    window.AddInputs(files);
    window.fileListView->selectAll();
    window.UpdateActions();
    messages.confirm = false;
    messages.questions.clear();
    window.removeFileAction->trigger();
    return messages.questions.empty() ? std::u16string() : messages.questions.back();
  }

  test::ScratchDir dir;
  test::TestUserDialogs messages;
};

TEST_F(WindowLanguageTest, ARussianLocaleGetsRussianMenusDialogsAndQuestions) {
  const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  ASSERT_EQ(russian.Language(), WindowLanguage::kRussian);
  ASSERT_TRUE(russian.WindowMessagesLoaded()) << "the Russian messages are not in the program's resources";
  const auto window = Window();
  EXPECT_EQ(MenuTitles(*window), QStringList({"&Файл", "&Правка", "&Книга", "&Вид", "&Справка"}));
  EXPECT_EQ(window->openProjectAction->text(), "&Открыть…");
  EXPECT_EQ(window->makeWolfAction->text(), "&Создать книгу Wolf…");
  EXPECT_EQ(window->addFileAction->statusTip(), "Добавить файлы в книгу");
  EXPECT_EQ(window->fileListView->model()->headerData(0, Qt::Horizontal).toString(), "Имя файла");
  EXPECT_EQ(window->descriptionDialog->windowTitle(), "Описание книги");
  EXPECT_EQ(window->coverPageDialog->windowTitle(), "Обложка книги");
  EXPECT_EQ(window->coverPageDialog->cancelButton->text(), "Отмена");
  // Texts kept in tables and translated where they are shown.
  const FileSettingsDialog settings(messages, nullptr);
  EXPECT_EQ(settings.form->encodingCombo->itemText(0), "Автоматически");
  EXPECT_EQ(settings.form->unwrapCombo->itemText(0), "Нет");

  // Messages handed to the question boxes, the counts in the right plural form.
  const struct {
    int count;
    const char16_t* question;
  } removals[] = {
      {2, u"Удалить из списка 2 выбранных файла?"},
      {5, u"Удалить из списка 5 выбранных файлов?"},
      {21, u"Удалить из списка 21 выбранный файл?"},
  };
  for (const auto& r : removals) {
    const auto fresh = Window();
    EXPECT_EQ(RemoveQuestion(*fresh, r.count), r.question) << r.count;
  }
  window->AddInputs({test::U16(dir / "missing.txt")});
  EXPECT_EQ(messages.warningsTitle, u"1 файл нельзя использовать: он не добавлен");
  ASSERT_EQ(messages.warnings.size(), 1u);
  EXPECT_EQ(messages.warnings[0], test::U16(dir / "missing.txt") + u": нет такого файла");

  // Qt's own texts, such as the standard buttons, come in Russian as well.
  QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Отмена");
}

// What the book's layers say reaches a Russian window in Russian too: the sizes in the list and the
// warnings of a build.
TEST_F(WindowLanguageTest, ARussianWindowShowsTheSizesAndBuildWarningsInRussian) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  const auto window = Window();
  window->AddInputs({test::WriteTextFile(dir / "a.txt", std::string(2000, 'a') + "\ncaf\xC3\xA9\n")});
  EXPECT_EQ(window->fileListView->model()->index(0, 1).data().toString(), "2,0 КБ");
  window->MakeBook(test::U16(dir / "book.wol"));
  EXPECT_EQ(messages.warningsTitle, u"Книга создана с предупреждениями");
  ASSERT_EQ(messages.warnings.size(), 1u);
  EXPECT_EQ(QString::fromStdU16String(messages.warnings[0]).toStdString(),
            (dir / "a.txt").string() + ": 1 символ заменён: \"\u00e9\" \u2192 \"e\" (строка 2)");
  // And the error of a file that stops a build.
  window->AddInputs({test::WritePicture(dir / "p.bmp")});
  test::WriteBytes(dir / "p.bmp", "BM no picture");
  messages.saveAs = test::U16(dir / "book.wol");
  window->UpdateActions();
  window->makeWolfAction->trigger();
  ASSERT_EQ(messages.errors.size(), 1u);
  const std::string error = QString::fromStdU16String(messages.errors[0]).toStdString();
  EXPECT_TRUE(error.starts_with("Не удаётся прочитать рисунок \"" + (dir / "p.bmp").string() + "\": "))
      << error;
  QLocale::setDefault(saved);
}

TEST_F(WindowLanguageTest, AnyOtherLocaleKeepsTheEnglishTexts) {
  {
    const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  }  // the Russian messages go with the object that installed them
  for (const QLocale& locale :
       {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates)}) {
    SCOPED_TRACE(locale.name().toStdString());
    const Translations translations(locale);
    EXPECT_EQ(translations.Language(), WindowLanguage::kEnglish);
    EXPECT_FALSE(translations.WindowMessagesLoaded());
    const auto window = Window();
    EXPECT_EQ(MenuTitles(*window), QStringList({"&File", "&Edit", "&Wolf", "&View", "&Help"}));
    EXPECT_EQ(window->descriptionDialog->windowTitle(), "Book Description");
    EXPECT_EQ(window->coverPageDialog->windowTitle(), "Edit Cover Page");
    EXPECT_EQ(RemoveQuestion(*window, 2), u"Remove selected 2 files from list?");
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "Cancel");
  }
}

// One message of a translation file: where it is, its source and its translations (one for each
// plural form of a message with a count).
struct TsMessage {
  QString context, source;
  bool numerus = false;
  QStringList translations;
  QString type;  // "unfinished", "obsolete", "vanished" or empty for a finished translation
};

// The text of the element just started; <byte value="xd"/> stands for a character XML cannot hold.
QString ReadTsText(QXmlStreamReader& xml) {
  const QString element = xml.name().toString();
  QString text;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isCharacters()) text += xml.text();
    if (xml.isStartElement() && xml.name() == u"byte")
      text += QChar(xml.attributes().value(QStringLiteral("value")).mid(1).toUShort(nullptr, 16));
    if (xml.isEndElement() && xml.name() == element) break;
  }
  return text;
}

std::vector<TsMessage> ReadTsFile(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QXmlStreamReader xml(&file);
  std::vector<TsMessage> messages;
  QString context;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"name") {
      context = xml.readElementText();
    } else if (xml.name() == u"message") {
      messages.push_back({context, {}, xml.attributes().value(QStringLiteral("numerus")) == u"yes", {}, {}});
    } else if (xml.name() == u"source") {
      messages.back().source = ReadTsText(xml);
    } else if (xml.name() == u"translation") {
      messages.back().type = xml.attributes().value(QStringLiteral("type")).toString();
      if (!messages.back().numerus) messages.back().translations << ReadTsText(xml);
    } else if (xml.name() == u"numerusform") {
      messages.back().translations << ReadTsText(xml);
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return messages;
}

// What the program fills in or reads from a message: its arguments (%1, %n), the file dialog
// masks after each "|", the spaces at either end and the line breaks.
std::string Keeps(const QString& text) {
  QStringList kept;
  for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("%[0-9n]")).globalMatch(text))
    kept << m.captured();
  kept.sort();
  const QStringList parts = text.split(u'|');
  for (qsizetype i = 1; i < parts.size(); i += 2) kept << QStringLiteral("mask ") + parts[i];
  const auto spaces = [&text](bool atEnd) {
    qsizetype n = 0;
    while (n < text.size() && text[atEnd ? text.size() - 1 - n : n] == u' ') ++n;
    return n;
  };
  // An access key (a single "&") in the source has one in the translation.
  if (QString(text).remove(QStringLiteral("&&")).contains(u'&')) kept << QStringLiteral("access key");
  kept << QStringLiteral("%1 spaces before, %2 after, %3 line breaks")
              .arg(spaces(false))
              .arg(spaces(true))
              .arg(text.count(u'\n'));
  return kept.join(QStringLiteral("; ")).toStdString();
}

TEST(RussianTranslation, EveryMessageIsTranslatedAndKeepsWhatTheProgramFillsIn) {
  const std::vector<TsMessage> messages = ReadTsFile(QStringLiteral(BOOKLOOM_RUSSIAN_TS));
  EXPECT_GT(messages.size(), 50u);
  for (const TsMessage& m : messages) {
    const std::string where = (m.context + QStringLiteral(": ") + m.source).toStdString();
    EXPECT_EQ(m.type.toStdString(), "") << where;
    // Russian counts take three forms: 1 and 21 файл, 2 файла, 5 файлов.
    EXPECT_EQ(m.translations.size(), m.numerus ? 3 : 1) << where;
    for (const QString& translation : m.translations) {
      EXPECT_FALSE(translation.trimmed().isEmpty()) << where;
      EXPECT_EQ(Keeps(translation), Keeps(m.source)) << where << " -> " << translation.toStdString();
    }
  }
}

TEST(RussianTranslation, TheCheckFindsWhatATranslatorCouldBreak) {
  const struct {
    const char *source, *translation;
  } broken[] = {
      {"Page %1 of %2", "Страница %1"},
      {"Wolf Files|*.wol|All Files|*.*", "Книги Wolf|*.wolf|Все файлы|*.*"},
      {" Cover Settings ", "Настройки обложки"},
      {"    Build: %1", "Сборка: %1"},
      {"line\none", "одна строка"},
      {"&File", "Файл"},
  };
  for (const auto& b : broken)
    EXPECT_NE(Keeps(QString::fromUtf8(b.translation)), Keeps(QString::fromUtf8(b.source))) << b.source;
  EXPECT_EQ(Keeps(QStringLiteral("Writing file %1 of %2: %3")), Keeps(QStringLiteral("Запись %3: %1 из %2")));
}

}  // namespace
}  // namespace bookloom
