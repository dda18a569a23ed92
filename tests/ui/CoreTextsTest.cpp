// The texts of the book's layers as the window shows them: sizes, the names of the file types, and
// the messages the core fills in, in Russian, and unchanged in English.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include "book/FileTypes.h"
#include "book/PicturePages.h"
#include "text/TextFile.h"
#include "text/Win1251Fallback.h"
#include "ui/CoreTexts.h"
#include "ui/Translations.h"

namespace bookloom {
namespace {

// Sets the locale that numbers are written in for as long as it lives.
class LocaleScope {
 public:
  explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
  ~LocaleScope() { QLocale::setDefault(saved_); }

 private:
  QLocale saved_;
};

TEST(SizeText, ChoosesTheUnitAndRoundsToOneDigitInTheUsersNumbers) {
  const LocaleScope english(QLocale(QLocale::English, QLocale::UnitedStates));
  const struct {
    int64_t size;
    const char* text;
  } cases[] = {
      {0, "0 B"},
      {1023, "1023 B"},  // never "1,023"
      {1024, "1.0 KB"},
      {1280, "1.3 KB"},  // a half rounds up
      {1536, "1.5 KB"},
      {1048575, "1024.0 KB"},
      {1048576, "1.0 MB"},
      {int64_t{3} << 30, "3.0 GB"},
      {int64_t{1} << 40, "1.0 TB"},
      {int64_t{5000} << 40, "5000.0 TB"},
      {-1, "???"},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.size).toStdString(), c.text) << c.size;

  const LocaleScope russian(QLocale(QLocale::Russian, QLocale::Russia));
  const Translations messages(QLocale(QLocale::Russian, QLocale::Russia));
  EXPECT_EQ(SizeText(1536), "1,5 КБ");
  EXPECT_EQ(SizeText(13), "13 Б");
  EXPECT_EQ(SizeText(int64_t{3} << 30), "3,0 ГБ");
}

// Real messages of the core: the Russian the window shows, and the same bytes in English.
TEST(CoreText, TranslatesTheCoresMessagesAndWhatIsFilledIntoThem) {
  const struct {
    const char *english, *russian;
  } cases[] = {
      {"no such file", "нет такого файла"},
      {"/books/a: b.txt: no such file", "/books/a: b.txt: нет такого файла"},  // a name with ": " in it
      {"cannot be decoded: Not a JPEG file",
       "не удаётся декодировать: Not a JPEG file"},  // a library's reason stays
      {"unknown file type .xyz", "неизвестный тип файла .xyz"},
      {"Cannot read picture \"/a/b.bmp\": Improper image header",
       "Не удаётся прочитать рисунок \"/a/b.bmp\": Improper image header"},
      {"1 character replaced: \"\u00e9\" \u2192 \"e\" (line 3)",
       "1 символ заменён: \"\u00e9\" \u2192 \"e\" (строка 3)"},
      {"5 characters replaced and 2 dropped: \"\u00e9\" \u2192 \"e\", \"\u2603\" dropped (line 4), ...",
       "5 символов заменено и 2 удалено: \"\u00e9\" \u2192 \"e\", \"\u2603\" удалён (строка 4), ..."},
      {"2 characters replaced and 1 dropped: \"\u00e9\" \u2192 \"e\" (line 2), \"\u2713\" dropped (line 3)",
       "2 символа заменено и 1 удалён: \"\u00e9\" \u2192 \"e\" (строка 2), \"\u2713\" удалён (строка 3)"},
      {"2 control characters left out, the first on line 7",
       "2 управляющих символа пропущено, первый в строке 7"},
      {"1 byte sequence that is no UTF-8 replaced by U+FFFD, the first on line 2",
       "1 последовательность байтов не в UTF-8 заменена на U+FFFD, первая в строке 2"},
      {"1 page or frame of its 3 left out (--all-frames makes every one a page)",
       "пропущено: 1 страница или кадр из 3 (с --all-frames страницей станет каждый кадр)"},
      {"p2.bmp: no decoder reads this kind of picture: left out",
       "p2.bmp: ни один декодер не читает такие рисунки: пропущено"},
      {"page.xhtml: picture \"a.png\" is missing from the book: left out",
       "page.xhtml: рисунок \"a.png\" отсутствует в книге: пропущено"},
      {"the spine names \"x, y\", which the package does not list: left out",
       "в порядке чтения названо \"x, y\", чего нет в описи книги: пропущено"},
      {"3 headings below the third level of the table of contents have no entry (the first: \"Deep\" on line "
       "9)",
       "3 заголовка ниже третьего уровня оглавления не получили пункта (первый: \"Deep\" в строке 9)"},
      {"the title it gives the book is cut to 128 of its 300 characters",
       "название, которое файл даёт книге, сокращено до 128 из 300 символов"},
      {"The book \"/b/a.wol\" would replace its own input file \"/b/a.wol\"",
       "Книга \"/b/a.wol\" заменила бы свой входной файл \"/b/a.wol\""},
      {"Cannot create file \"/ro/a.wol.tmp\". Permission denied",
       "Не удаётся создать файл \"/ro/a.wol.tmp\". Permission denied"},  // the system's reason stays
      {"\"/p/x.bookloom\" is not a readable project: it is damaged or cut short at byte 11",
       "\"/p/x.bookloom\" — проект, который не удаётся прочитать: он повреждён или обрывается на байте 11"},
  };
  {
    const Translations english(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const auto& c : cases) EXPECT_EQ(CoreText(std::string(c.english)).toStdString(), c.english);
  }
  const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  for (const auto& c : cases)
    EXPECT_EQ(CoreText(std::string(c.english)).toStdString(), c.russian) << c.english;
}

// The warnings the core's own functions word, in the singular and the plural, all come out in
// Russian: the window's messages follow the core's wording.
TEST(CoreText, KnowsTheWarningsTheCoreWords) {
  std::vector<std::string> warnings = {kIncompletePicture};
  for (const size_t n : {1, 3}) {
    warnings.push_back(DescribeControls({n, 7}));
    DecodedTextFile file;
    file.encoding = "UTF-8";
    file.faults.count = n;
    file.firstFaultLine = 2;
    warnings.push_back(DescribeFaults(file));
    FallbackReport replaced, dropped;
    for (size_t i = 0; i < n; ++i) {
      replaced.Add(u"\u00e9", u"e", i + 1);
      dropped.Add(u"\u2603", u"", 0);
    }
    replaced.Add(u"\u2603", u"", 9);
    warnings.push_back(replaced.Summary(2));
    warnings.push_back(dropped.Summary(2));
  }
  const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  const QRegularExpression english(QStringLiteral("\\b(character|replaced|dropped|line|left|picture)\\b"));
  for (const std::string& warning : warnings)
    EXPECT_FALSE(CoreText(warning).contains(english)) << warning << " -> " << CoreText(warning).toStdString();
}

// Every file type a file dialog lists is named in Russian, sorted by its Russian name.
TEST(FileTypesFilter, NamesEveryFileTypeInTheWindowsLanguage) {
  const Translations russian(QLocale(QLocale::Russian, QLocale::Russia));
  const auto translated = [](const std::u16string& text) {
    const QString english = QString::fromStdU16String(text);
    return QCoreApplication::translate(kCoreContext, english.toUtf8().constData()) != english;
  };
  for (const FileType& type : FileTypes().Rows()) {
    const std::string ext = QString::fromStdU16String(type.ext).toStdString();
    EXPECT_TRUE(translated(type.group)) << ext;
    EXPECT_TRUE(type.description.empty() || translated(type.description)) << ext;
  }
  const QString filter =
      QString::fromStdU16String(FileTypesFilter(1, kGroupByClass | kAllSupported, nullptr));
  EXPECT_TRUE(filter.startsWith(QStringLiteral("Все поддерживаемые форматы|"))) << filter.toStdString();
  EXPECT_LT(filter.indexOf(QStringLiteral("Веб-страницы")), filter.indexOf(QStringLiteral("Документы PDF")));
}

}  // namespace
}  // namespace bookloom
