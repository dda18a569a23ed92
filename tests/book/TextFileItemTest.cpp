#include <gtest/gtest.h>

#include <fstream>

#include "book/TextFileItem.h"
#include "platform/AnsiCodePage.h"
#include "platform/Exception.h"
#include "platform/Stream.h"
#include "platform/Utf.h"
#include "support/TestData.h"
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
  TextFileItem item((dir / "t.txt").u16string());
  item.Load();
  EXPECT_TRUE(item.Loaded());
  return item.Lines();
}

Lines LinesOf(const std::filesystem::path& path) {
  TextFileItem item(path.u16string());
  item.Load();
  return item.Lines();
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
  TextFileItem item(name);
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
  TextFileItem item((dir / "t.txt").u16string());
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
  for (const auto& c : cases) EXPECT_EQ(TitleOf(TextFileItem(c.fileName)), c.title);
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
  TextFileItem item(path.u16string());
  const BookContents book = BookOf(item);
  ASSERT_EQ(book.toc.size(), 1u);
  EXPECT_EQ(book.toc[0].title, WideToWin1251(u"Глава.1"));
  EXPECT_EQ(book.toc[0].level, 1);
  ASSERT_EQ(book.sections.size(), 1u);
  const std::vector<std::string> paragraphs = {WideToWin1251(u"Мама мыла раму."), "",
                                               WideToWin1251(u"Ещё  строка & <b>")};
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
  TextFileItem item((dir / ".txt").u16string());
  const BookContents book = BookOf(item);
  ASSERT_EQ(book.toc.size(), 1u);
  EXPECT_EQ(book.catalog.at(0).title, "NoName");  // the empty title
  ASSERT_EQ(book.sections.size(), 1u);
  EXPECT_TRUE(book.sections[0].paragraphs.empty());

  TextFileItem missing((dir / "missing.txt").u16string());
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
