#include <gtest/gtest.h>

#include <map>

#include "platform/Utf.h"
#include "support/TestData.h"
#include "text/Chapters.h"
#include "text/TextFile.h"

namespace bookloom {
namespace {

using Lines = std::vector<std::u16string_view>;

TEST(ChapterPatterns, TellWhatAHeadingLineSays) {
  const ChapterPatterns patterns;
  const struct {
    std::u16string line;
    HeadingKind kind;
  } cases[] = {
      {u"ЧАСТЬ ПЕРВАЯ", HeadingKind::kPart},
      {u"Часть 1", HeadingKind::kPart},
      {u"  PART ONE  ", HeadingKind::kPart},
      {u"BOOK I. The Whale", HeadingKind::kPart},
      {u"Книга третья", HeadingKind::kPart},
      {u"Глава 1", HeadingKind::kChapter},
      {u"ГЛАВА ПЕРВАЯ", HeadingKind::kChapter},
      {u"CHAPTER 1. Loomings.", HeadingKind::kChapter},
      {u"Chapter XII", HeadingKind::kChapter},
      {u"Chapter twenty-one: Home", HeadingKind::kChapter},
      {u"XIV", HeadingKind::kNumber},
      {u"12.", HeadingKind::kNumber},
      {u"XIII. XIV", HeadingKind::kNumber},
      {u"I. II. III. IV. V. VI.", HeadingKind::kNumber},  // stanzas left out
      {u"ЭПИЛОГ", HeadingKind::kFrame},
      {u"Prologue", HeadingKind::kFrame},
      {u"* * *", HeadingKind::kNone},
      {u"Part of the plan failed.", HeadingKind::kNone},  // a sentence, no heading
      {u"Chapter two of it", HeadingKind::kNone},
      {u"Главное", HeadingKind::kNone},
      {u"xiv", HeadingKind::kNone},  // a numeral alone only in capitals
      {u"I am here.", HeadingKind::kNone},
      {u"IIII", HeadingKind::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(patterns.KindOf(c.line), c.kind) << Utf16ToUtf8(c.line);
  EXPECT_EQ(ChapterPatterns({u"§\\s*\\d+"}).KindOf(u"§ 12"), HeadingKind::kChapter);
  EXPECT_THROW(ChapterPatterns({u"(unclosed"}), ChapterPatternError);
}

// Which lines of a made-up text are headings, and on which level.
TEST(FindHeadings, TakesLinesSetApartAndLeavesListsOfContents) {
  const struct {
    const char* name;
    Lines lines;
    std::vector<std::pair<size_t, int>> headings;  // line and level
  } cases[] = {
      {"part and numbered chapters",
       {u"ЧАСТЬ ПЕРВАЯ", u"", u"I", u"", u"Текст.", u"II", u"", u"Ещё.", u"ЭПИЛОГ", u"", u"Конец."},
       {{0, 1}, {2, 2}, {5, 2}, {8, 1}}},
      {"a list of contents, then the chapters",
       {u"Chapter 1", u"", u"Chapter 2", u"", u"Chapter 1", u"", u"Text.", u"", u"Chapter 2", u"", u"More."},
       {{4, 1}, {8, 1}}},
      {"a heading needs a blank line after it",
       {u"Text.", u"", u"Chapter 1", u"Text goes on.", u"XII", u"still text"},
       {}},
      {"a heading wrapped in two lines",
       {u"", u"CHAPTER 57. Of Whales in Paint; in Teeth; in Wood; in Sheet-Iron; in", u"Stone; in Stars.",
        u"", u"Text."},
       {{1, 1}}},
      {"a stanza after a list of the stanzas",
       {u"I. II. III. IV. V. VI.", u"", u"VII", u"", u"Text.", u"", u"VIII", u"", u"More."},
       {{0, 1}, {2, 1}, {6, 1}}},
      {"the epilogue of a book without parts",
       {u"Chapter 1", u"", u"Text.", u"", u"Epilogue", u"", u"Text."},
       {{0, 1}, {4, 1}}},
  };
  const ChapterPatterns patterns;
  for (const auto& c : cases) {
    std::vector<std::pair<size_t, int>> found;
    for (const Heading& h : FindHeadings(c.lines, patterns)) found.emplace_back(h.line, h.level);
    EXPECT_EQ(found, c.headings) << c.name;
  }
  const auto wrapped = FindHeadings({u"CHAPTER 5.  The", u"End.", u""}, patterns);
  ASSERT_EQ(wrapped.size(), 1u);
  EXPECT_EQ(wrapped[0].title, u"CHAPTER 5. The End.");
}

// The table of contents of the real books: counts per level.
TEST(FindHeadings, FindsTheChaptersOfRealBooks) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    std::map<int, int> levels;
    const char16_t* first;
  } cases[] = {
      {"texts/ru/crime_and_punishment.utf8.txt", {{1, 7}, {2, 41}}, u"ЧАСТЬ ПЕРВАЯ"},
      {"texts/en/moby_dick_pg2701.txt", {{1, 136}}, u"CHAPTER 1. Loomings."},  // not its list of contents
      // Its chapters and their numbered stanzas (stanza VII too, after the line of stanzas I to VI
      // left out); one chapter heading is glued to a verse line.
      {"texts/ru/eugene_onegin.utf8.txt", {{1, 7}, {2, 367}}, u"ГЛАВА ПЕРВАЯ"},
  };
  const ChapterPatterns patterns;
  for (const auto& c : cases) {
    const auto headings =
        FindHeadings(SplitLines(DecodeTextFile(test::ReadBytes(test::TestDataPath(c.file))).text), patterns);
    std::map<int, int> levels;
    for (const Heading& h : headings) ++levels[h.level];
    EXPECT_EQ(levels, c.levels) << c.file;
    ASSERT_FALSE(headings.empty());
    EXPECT_EQ(headings.front().title, c.first) << c.file;
  }
}

}  // namespace
}  // namespace bookloom
