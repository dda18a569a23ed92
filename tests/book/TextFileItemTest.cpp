#include <gtest/gtest.h>

#include <fstream>

#include "book/TextFileItem.h"
#include "platform/AnsiCodePage.h"
#include "platform/Exception.h"
#include "platform/Stream.h"
#include "platform/Utf.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"
#include "wolf/BookWriter.h"

namespace bookloom {
namespace {

using Lines = std::vector<std::u16string>;

// The lines of a file of these bytes, read through a text item.
Lines LinesOfFile(const std::string& bytes) {
  test::ScratchDir dir;
  std::ofstream(dir / "t.txt", std::ios::binary) << bytes;
  TextFileItem item(TestRuntime(), (dir / "t.txt").u16string());
  item.Load();
  EXPECT_TRUE(item.Loaded());
  return {item.Lines().begin(), item.Lines().end()};
}

Lines LinesOf(const std::filesystem::path& path) {
  TextFileItem item(TestRuntime(), path.u16string());
  item.Load();
  return {item.Lines().begin(), item.Lines().end()};
}

TEST(TextFileItem, ReadsTheEncodingItsByteOrderMarkNames) {
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"\xFF\xFE", {}},
      {std::string("\xFF\xFE"
                   "A\0\r\0\n\0B\0",
                   10),
       {u"A", u"B"}},
      {std::string("\xFE\xFF\0A\0B", 6), {u"AB"}},
      {std::string("\xFF\xFE"
                   "A\0B",
                   5),
       {u"A"}},  // an odd last byte is dropped
      {std::string("\xFF\xFE\x16\x04\x3D\xD8\x00\xDE", 8), {u"Ж\U0001F600"}},
      {"\xEF\xBB\xBF\xD0\x9C\xD0\xB0\xD0\xBC\xD0\xB0\r\n\xD1\x80\xD0\xB0\xD0\xBC\xD1\x83",
       {u"Мама", u"раму"}},
      {"\xEF\xBB\xBF\xF0\x9F\x98\x80!", {u"\U0001F600!"}},  // four-byte sequences decode
      {"\xEF\xBB\xBF"
       "a\xC3(b\xE2\x82",
       {u"a\uFFFD(b\uFFFD"}},  // faults do not empty the text
      {"\xEF\xBB\xBF", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(LinesOfFile(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(TextFileItem, ReadsTextWithoutMarkAsUtf8OrAsTheCodePageItLooksLike) {
  EXPECT_EQ(LinesOfFile("\xD0\x9C\xD0\xB0\xD0\xBC\xD0\xB0\n"), Lines{u"Мама"});  // valid UTF-8
  // EF BB is no mark: two characters of a single-byte code page.
  const Lines two = LinesOfFile("\xEF\xBB");
  ASSERT_EQ(two.size(), 1u);
  EXPECT_EQ(two[0].size(), 2u);
  EXPECT_EQ(DetectCharset("plain ASCII"), "UTF-8");
  EXPECT_EQ(CharsetToWide("a\x98z", "WINDOWS-1251"), u"a\uFFFDz");  // no character there
  EXPECT_THROW(CharsetToWide("a", "NO-SUCH-CHARSET"), ConvertError);
}

TEST(TextFileItem, KeepsNothingWhenTheFileCannotBeOpened) {
  test::ScratchDir dir;
  const std::u16string name = (dir / "missing.txt").u16string();
  TextFileItem item(TestRuntime(), name);
  item.Verify();  // adding the file to the list does not read it
  try {
    item.Load();
    FAIL() << "no error";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + Utf16ToUtf8(name) + "\". No such file or directory");
  }
  EXPECT_FALSE(item.Loaded());
}

TEST(TextFileItem, UnloadDropsTheLines) {
  test::ScratchDir dir;
  std::ofstream(dir / "t.txt", std::ios::binary) << "one\ntwo\n";
  TextFileItem item(TestRuntime(), (dir / "t.txt").u16string());
  item.Load();
  EXPECT_EQ(item.Lines().size(), 2u);
  item.Unload();
  EXPECT_TRUE(item.Lines().empty());
  EXPECT_FALSE(item.Loaded());
}

TEST(TextFileItem, TitleIsTheNameWithoutItsExtension) {
  const struct {
    std::u16string fileName, title;
  } cases[] = {
      {u"/books/a.b.txt", u"a.b"},
      {u"/books/.txt", u""},
      {u"/books.d/README", u"README"},
      {u"story.txt", u"story"},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleOf(TextFileItem(TestRuntime(), c.fileName)), c.title);
}

// The book that one item makes on its own, read back.
BookContents BookOf(FileItem& item) {
  MemoryOutputStream out;
  BookWriter writer(out);
  writer.WriteDescription();
  writer.BeginBody();
  item.WriteTo(writer);
  writer.EndBody();
  writer.Finish();
  return BookReader(out.Bytes()).Book();
}

TEST(TextFileItem, WritesOneChapterOfItsLinesAndReadsTheFileOnce) {
  test::ScratchDir dir;
  const auto path = dir / "Глава.1.txt";
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF"
                                           "Мама мыла раму.\r\n\r\nЕщё 中 строка & <b>\n";
  TextFileItem item(TestRuntime(), path.u16string());
  const BookContents book = BookOf(item);
  ASSERT_EQ(book.toc.size(), 1u);
  EXPECT_EQ(book.toc[0].title, WideToWin1251(TestRuntime(), u"Глава.1"));
  EXPECT_EQ(book.toc[0].level, 1);
  ASSERT_EQ(book.sections.size(), 1u);
  const std::vector<std::string> paragraphs = {WideToWin1251(TestRuntime(), u"Мама мыла раму."), "",
                                               WideToWin1251(TestRuntime(), u"Ещё zhong строка & <b>")};
  EXPECT_EQ(book.sections[0].paragraphs, paragraphs);
  EXPECT_FALSE(book.sections[0].pictures);

  // The lines stay loaded: a second book does not read the file again.
  std::filesystem::remove(path);
  EXPECT_TRUE(item.Loaded());
  EXPECT_EQ(BookOf(item).sections.at(0).paragraphs, paragraphs);
}

TEST(TextFileItem, AnEmptyFileStillMakesAChapter) {
  test::ScratchDir dir;
  std::ofstream(dir / ".txt", std::ios::binary) << "";
  TextFileItem item(TestRuntime(), (dir / ".txt").u16string());
  const BookContents book = BookOf(item);
  ASSERT_EQ(book.toc.size(), 1u);
  EXPECT_EQ(book.catalog.at(0).title, "NoName");  // the empty title
  ASSERT_EQ(book.sections.size(), 1u);
  EXPECT_TRUE(book.sections[0].paragraphs.empty());

  TextFileItem missing(TestRuntime(), (dir / "missing.txt").u16string());
  MemoryOutputStream out;
  BookWriter writer(out);
  EXPECT_THROW(missing.WriteTo(writer), FileOpenError);
}

// The same passage in seven encodings, three of them without any mark.
TEST(TextFileItem, DecodesEveryEncodingOfThePassageAlike) {
  REQUIRE_TESTDATA();
  const Lines expected = LinesOf(test::TestDataPath("texts/encodings/passage.utf8.txt"));
  ASSERT_GE(expected.size(), 7u);
  EXPECT_EQ(expected[0], u"ПРЕСТУПЛЕНИЕ И НАКАЗАНИЕ");
  const struct {
    const char* file;
    const char* charset;  // what detection finds for a file without mark
  } cases[] = {
      {"passage.utf8-bom.txt", nullptr},    {"passage.utf16le-bom.txt", nullptr},
      {"passage.utf16be-bom.txt", nullptr}, {"passage.cp1251.txt", "WINDOWS-1251"},
      {"passage.koi8r.txt", "KOI8-R"},      {"passage.cp866.txt", "IBM866"},
  };
  for (const auto& c : cases) {
    const auto path = test::TestDataPath(std::string("texts/encodings/") + c.file);
    EXPECT_EQ(LinesOf(path), expected) << c.file;
    if (c.charset) {
      EXPECT_EQ(DetectCharset(test::ReadBytes(path)), c.charset) << c.file;
    }
  }
}

// Line ends of every kind mixed, with empty lines: compared with a plain normalisation.
TEST(TextFileItem, ReadsMixedLineEnds) {
  REQUIRE_TESTDATA();
  const auto path = test::TestDataPath("texts/edge/mixed-line-ends.utf8.txt");
  const std::u16string text = Utf8ToUtf16(test::ReadBytes(path));
  Lines expected;
  std::u16string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') {
      line += text[i];
      continue;
    }
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    expected.push_back(line);
    line.clear();
  }
  expected.push_back(line);  // the file has no final line end
  EXPECT_EQ(expected.size(), 47u);
  EXPECT_EQ(LinesOf(path), expected);
}

TEST(TextFileItem, ReadsRealBooksWhole) {
  REQUIRE_TESTDATA();
  // Characters far outside Windows-1251, four-byte ones included, survive reading.
  const auto beyond = test::TestDataPath("texts/edge/beyond-cp1251.utf8.txt");
  std::u16string joined;
  for (const auto& line : LinesOf(beyond)) joined += line + u"\n";
  EXPECT_EQ(Utf16ToUtf8(joined), test::ReadBytes(beyond));

  const Lines moby = LinesOf(test::TestDataPath("texts/en/moby_dick_pg2701.txt"));  // UTF-8 mark, CR LF
  const std::string mobyBytes = test::ReadBytes(test::TestDataPath("texts/en/moby_dick_pg2701.txt"));
  size_t crlf = 0;
  for (size_t at = 0; (at = mobyBytes.find("\r\n", at)) != std::string::npos; at += 2) ++crlf;
  EXPECT_EQ(moby.size(), crlf);
  ASSERT_GE(moby.size(), 2u);
  EXPECT_EQ(moby[0], u"");
  EXPECT_EQ(moby[1].substr(0, 12), u"The Project ");

  const Lines crime = LinesOf(test::TestDataPath("texts/ru/crime_and_punishment.utf8.txt"));  // no mark
  ASSERT_FALSE(crime.empty());
  EXPECT_EQ(crime[0], u"ПРЕСТУПЛЕНИЕ И НАКАЗАНИЕ");

  EXPECT_TRUE(LinesOf(test::TestDataPath("texts/edge/empty.txt")).empty());
  EXPECT_TRUE(LinesOf(test::TestDataPath("texts/edge/bom-only.utf8.txt")).empty());
}

}  // namespace
}  // namespace bookloom

namespace bookloom {
namespace {

// The book a text of these bytes makes with these settings, alone or after another input, and the
// item's warnings and notes.
struct MadeBook {
  BookContents book;
  std::vector<std::string> warnings, notes;
};
MadeBook MakeBook(const std::string& bytes, const TextSettings& settings, bool alone) {
  test::ScratchDir dir;
  std::ofstream(dir / "t.txt", std::ios::binary) << bytes;
  TextFileItem item(TestRuntime(), (dir / "t.txt").u16string());
  item.SetSettings({.text = settings});
  item.SetOnlyInput(alone);
  MemoryOutputStream out;
  BookWriter writer(out);
  writer.WriteDescription();
  writer.BeginBody();
  if (!alone) writer.AddTOCEntry(1, "before");
  item.WriteTo(writer);
  writer.EndBody();
  writer.Finish();
  return {BookReader(out.Bytes()).Book(), item.TakeWarnings(), item.TakeNotes()};
}

std::vector<std::pair<int, std::string>> Entries(const BookContents& book) {
  std::vector<std::pair<int, std::string>> entries;
  for (const TocRecord& r : book.toc) entries.emplace_back(r.level, r.title);
  return entries;
}

// Headings become sections and entries: the top levels of a book of one input, below the file's
// entry beside other inputs; a heading right after another shares its section.
TEST(TextFileItem, WritesItsHeadingsAsChapters) {
  const std::string text = "Title page\n\nPART ONE\n\nI\n\nText.\n\nII\n\nMore text.\n";
  const TextSettings chapters{.chapters = true};
  const MadeBook alone = MakeBook(text, chapters, true);
  EXPECT_EQ(Entries(alone.book),
            (std::vector<std::pair<int, std::string>>{{1, "PART ONE"}, {2, "I"}, {2, "II"}}));
  ASSERT_EQ(alone.book.sections.size(), 3u);  // title page, PART ONE with I, II
  EXPECT_EQ(alone.book.sections[1].paragraphs.front(), "PART ONE");
  EXPECT_EQ(alone.book.sections[2].paragraphs.front(), "II");
  EXPECT_EQ(Entries(MakeBook(text, chapters, false).book),
            (std::vector<std::pair<int, std::string>>{
                {1, "before"}, {1, "t"}, {2, "PART ONE"}, {3, "I"}, {3, "II"}}));
  // Without the setting the book is what it always was: one entry, one section.
  const MadeBook plain = MakeBook(text, {}, true);
  EXPECT_EQ(Entries(plain.book), (std::vector<std::pair<int, std::string>>{{1, "t"}}));
  EXPECT_EQ(plain.book.sections.size(), 1u);
}

TEST(TextFileItem, WarnsOfWhatTheBookCannotHold) {
  // More chapters than one entry numbers go under entries of their own ("1–255", "256–300").
  std::string many = "Book\n\n";
  for (int i = 1; i <= 300; ++i) many += "Chapter " + std::to_string(i) + "\n\nText.\n\n";
  const MadeBook chapters = MakeBook(many, {.chapters = true}, true);
  ASSERT_EQ(chapters.book.toc.size(), 302u);
  // The records come by level: the two groups, then the chapters below them.
  EXPECT_EQ(Entries(chapters.book)[0], (std::pair<int, std::string>{1,
                                                                    "1\x96"
                                                                    "255"}));
  EXPECT_EQ(Entries(chapters.book)[1], (std::pair<int, std::string>{1,
                                                                    "256\x96"
                                                                    "300"}));
  EXPECT_EQ(Entries(chapters.book)[301], (std::pair<int, std::string>{2, "Chapter 300"}));
  EXPECT_TRUE(chapters.warnings.empty());
  // Subsections have no level below them to be grouped in: those beyond 255 are left out.
  many = "Book\n\nPART ONE\n\nChapter 1\n\n";
  for (int i = 1; i <= 300; ++i) many += std::to_string(i) + "\n\nText.\n\n";
  const MadeBook book = MakeBook(many, {.chapters = true}, true);
  EXPECT_EQ(book.book.toc.size(), 257u);
  EXPECT_EQ(book.warnings,
            (std::vector<std::string>{
                "45 table-of-contents entries left out, as a book holds at most 255 under one entry "
                "(the first: \"256\" on line 1027)"}));
  // A damaged byte among a thousand bytes and ten letters beyond ASCII stays a damaged UTF-8 text.
  const MadeBook damaged = MakeBook("Жизнь прекрасна\nЖ\xFF\n Größe\n" + std::string(1000, '.'), {}, true);
  EXPECT_EQ(damaged.warnings, (std::vector<std::string>{
                                  "1 byte sequence that is no UTF-8 replaced by U+FFFD, the first on line 2",
                                  "2 characters replaced and 1 dropped: \"\xEF\xBF\xBD\" dropped (line 2), "
                                  "\"ö\" → \"o\" (line 3), \"ß\" → \"ss\" (line 3)"}));
  EXPECT_EQ(damaged.notes, (std::vector<std::string>{"\"\xEF\xBF\xBD\" dropped: line 2",
                                                     "\"ö\" → \"o\": line 3", "\"ß\" → \"ss\": line 3"}));
}

TEST(TextFileItem, JoinsHardWrappedLinesAsAsked) {
  std::string text;
  for (int p = 0; p < 5; ++p)
    text +=
        "It was a dark and stormy night; the rain fell in torrents, except at\n"
        "occasional intervals, when it was checked by a violent gust of wind\n"
        "which swept up the streets (for it is in London that our scene lies),\n"
        "rattling along the housetops, and fiercely agitating the scanty flame.\n\n";
  const MadeBook automatic = MakeBook(text, {.unwrap = Unwrap::kAuto}, true);
  ASSERT_EQ(automatic.book.sections.at(0).paragraphs.size(), 10u);  // five paragraphs, five blank lines
  EXPECT_EQ(automatic.book.sections[0].paragraphs[0].substr(60, 20), "xcept at occasional ");
  ASSERT_EQ(automatic.notes.size(), 1u);
  EXPECT_EQ(automatic.notes[0].rfind("lines joined: ", 0), 0u) << automatic.notes[0];
  EXPECT_EQ(MakeBook(text, {.unwrap = Unwrap::kOff}, true).book.sections.at(0).paragraphs.size(), 25u);
  EXPECT_EQ(MakeBook("a\nb\nc\n", {.unwrap = Unwrap::kOn}, true).book.sections.at(0).paragraphs,
            std::vector<std::string>{"a b c"});
}

}  // namespace
}  // namespace bookloom
