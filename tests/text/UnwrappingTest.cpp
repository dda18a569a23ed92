#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Utf.h"
#include "support/TestData.h"
#include "text/TextFile.h"
#include "text/Unwrapping.h"

namespace bookloom {
namespace {

using Lines = std::vector<std::u16string>;

// The lines as the functions read them: views of a text that outlives them.
std::vector<std::u16string_view> Views(const Lines& lines) { return {lines.begin(), lines.end()}; }

// A paragraph of words wrapped greedily at `width` columns.
Lines Wrapped(const std::u16string& words, size_t width) {
  Lines lines{u""};
  for (size_t from = 0; from < words.size();) {
    size_t to = words.find(u' ', from);
    if (to == std::u16string::npos) to = words.size();
    const std::u16string word = words.substr(from, to - from);
    if (!lines.back().empty() && lines.back().size() + 1 + word.size() > width) lines.emplace_back();
    lines.back() += (lines.back().empty() ? u"" : u" ") + word;
    from = to + 1;
  }
  return lines;
}

TEST(DecideUnwrap, JoinsOnlyTextsCutAtAFixedWidth) {
  std::u16string words;
  for (int i = 0; i < 60; ++i) words += u"lorem ipsum dolores sit amet consectetur ";
  Lines prose;
  for (int p = 0; p < 4; ++p) {
    for (const auto& line : Wrapped(words, 70)) prose.push_back(line);
    prose.emplace_back();
  }
  Lines verse, onePerLine;
  for (int i = 0; i < 40; ++i) {
    verse.push_back(i % 2 ? u"Не мысля гордый свет забавить," : u"Вниманье дружбы возлюбя,");
    onePerLine.push_back(words.substr(0, 100 + static_cast<size_t>(i) * 37));
  }
  const UnwrapDecision proseDecision = DecideUnwrap(Views(prose));
  EXPECT_TRUE(proseDecision.wrapped) << proseDecision.reason;
  EXPECT_EQ(proseDecision.reason.rfind("joined: 100.0% of the long lines", 0), 0u) << proseDecision.reason;
  EXPECT_FALSE(DecideUnwrap(Views(verse)).wrapped);
  EXPECT_FALSE(DecideUnwrap(Views(onePerLine)).wrapped);
  EXPECT_FALSE(DecideUnwrap(Views(Lines(3, u"short"))).wrapped);
}

TEST(DecideUnwrap, TellsTheRealBooksApart) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    bool wrapped;
  } cases[] = {
      {"texts/en/moby_dick_pg2701.txt", true},
      {"texts/ru/eugene_onegin.utf8.txt", false},         // verse
      {"texts/ru/crime_and_punishment.utf8.txt", false},  // one paragraph per line
      {"texts/edge/beyond-cp1251.utf8.txt", false},
  };
  for (const auto& c : cases) {
    const std::u16string text = DecodeTextFile(test::ReadBytes(test::TestDataPath(c.file))).text;
    const auto lines = SplitLines(text);
    EXPECT_EQ(DecideUnwrap(lines).wrapped, c.wrapped) << c.file << ": " << DecideUnwrap(lines).reason;
  }
}

// What `fold -s -w width` makes of paragraphs: each cut after the last blank that keeps the line
// within `width` UTF-8 bytes, the blank kept at its end; the indexes of the lines that start one.
Lines FoldBytes(const Lines& paragraphs, size_t width, std::vector<size_t>& starts) {
  Lines lines;
  for (std::u16string rest : paragraphs) {
    starts.push_back(lines.size());
    while (Utf16ToUtf8(rest).size() > width) {
      size_t cut = 0;
      for (size_t k = 1; k <= rest.size() && Utf16ToUtf8(rest.substr(0, k)).size() <= width; ++k)
        if (rest[k - 1] == u' ') cut = k;
      lines.push_back(rest.substr(0, cut));
      rest.erase(0, cut);
    }
    lines.push_back(rest);
  }
  return lines;
}

// A Russian novel of one paragraph per line, without blank lines between them, folded at 70 bytes:
// its paragraphs come back whole, a dialogue dash carried to a line's start included.
TEST(JoinedParagraphs, RestoresANovelFoldedAtSeventyBytes) {
  const std::u16string sentences[] = {
      u"Он долго смотрел на нее и молчал, потом вдруг поднялся, подошел к окну и сказал тихо, что уйдет.",
      u"- Вот мой совет-с, - сказал он, - не ходите туда, слышите ли, - никогда и ни за что на свете.",
      u"- Да чего тебя жалеть-то? - крикнул хозяин, очутившийся опять подле них.",
      u"Раздался смех и даже ругательства, - смеялись и ругались слушавшие и неслушавшие - все.",
  };
  Lines paragraphs;
  for (int i = 0; i < 40; ++i) {
    std::u16string paragraph;
    for (int k = 0; k <= i % 3; ++k) paragraph += (k ? u" " : u"") + sentences[(i + k) % 4];
    paragraphs.push_back(paragraph);
    // Its first 69 bytes end before a dash that does not fit after them: the dash starts a line.
    if (i % 10 == 0)
      paragraphs.push_back(u"Он шел по улице и думал о том что домой - вот мой совет-с, - сказал он себе.");
  }
  std::vector<size_t> starts;
  const Lines folded = FoldBytes(paragraphs, 70, starts);
  size_t dashesCarried = 0;
  for (size_t i = 0; i < folded.size(); ++i)
    dashesCarried += folded[i].starts_with(u"- ") && !std::binary_search(starts.begin(), starts.end(), i);
  ASSERT_GT(dashesCarried, 0u);

  const auto lines = Views(folded);
  const UnwrapDecision decision = DecideUnwrap(lines);
  ASSERT_TRUE(decision.wrapped) << decision.reason;
  EXPECT_EQ(decision.measure, WidthMeasure::kUtf8Bytes);
  Lines joined;
  for (const LineRange& range : JoinedParagraphs(lines, {}, &decision))
    joined.push_back(JoinLines(lines, range));
  EXPECT_EQ(joined, paragraphs);
}

TEST(JoinedParagraphs, JoinsBlocksButNotHeadingsListsOrTables) {
  const std::vector<std::u16string_view> lines = {
      u"CHAPTER 1",     u"",      u"Call me Ish-", u"mael. Some  ", u"  years ago", u"",
      u"- one",         u"- two", u"a   b   c",    u"d   e   f",    u"A well-",     u"Known name; a pre-",
      u"- and post-war"};
  const std::vector<size_t> headings = {0};
  std::vector<std::u16string> paragraphs;
  for (const LineRange& range : JoinedParagraphs(lines, headings))
    paragraphs.push_back(JoinLines(lines, range));
  EXPECT_EQ(paragraphs,
            (Lines{u"CHAPTER 1", u"", u"Call me Ishmael. Some years ago", u"", u"- one", u"- two",
                   u"a   b   c", u"d   e   f", u"A well- Known name; a pre-", u"- and post-war"}));
}

}  // namespace
}  // namespace bookloom
