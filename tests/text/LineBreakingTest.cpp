#include <gtest/gtest.h>

#include <random>

#include "support/TestRuntime.h"
#include "text/LineBreaking.h"
#include "text/Win1251.h"

namespace bookloom {
namespace {

constexpr int kNarrow = 576, kWide = 776;  // the layouts' text widths

std::string Cp(const std::u16string& text) { return WideToWin1251(TestRuntime(), text); }

TEST(CharWidth, ReadsTheTwoFonts) {
  EXPECT_EQ(HyphenWidth(0), 11);
  EXPECT_EQ(HyphenWidth(1), 12);
  EXPECT_EQ(CharWidth(0, 0x0D), 0);
  EXPECT_EQ(CharWidth(0, 0xC4), 12);
  EXPECT_EQ(CharWidth(0, 0x20), 5);
  EXPECT_EQ(CharWidth(1, 0x0D), 0);
  EXPECT_EQ(CharWidth(1, 0x8A), 15);
  EXPECT_EQ(CharWidth(1, 0xFF), 13);
}

TEST(FindHyphenation, SplitsBetweenSyllablesWithinTheLimit) {
  const struct {
    std::u16string word;
    int limit, result;
  } cases[] = {
      {u"молоко", 39, 2},   // мо-локо
      {u"молоко", 60, 4},   // моло-ко
      {u"молоко", 70, 0},   // fits whole
      {u"сестра", 50, 3},   // one consonant stays with the vowel
      {u"подъезд", 60, 4},  // the hard sign stays with its consonant
      {u"война", 40, 3},    // the short i is a consonant
      {u"молоко", 30, 0},   // two letters fit, not enough
      {u"три", 22, 0},      // three letters are never split
      {u"стрст", 40, 0},    // no vowel
  };
  for (const auto& c : cases) EXPECT_EQ(FindHyphenation(Cp(c.word), 0, c.limit), c.result) << c.limit;
}

TEST(BreakLine, EndsALineAtCrAndTakesAnLfAfterIt) {
  const struct {
    std::string text;
    int result;
  } cases[] = {
      {"\r", 1},            // the writer's CR alone
      {"\r\n", 2},          // CR LF is one break
      {"abc\rdef\r", 4},    // the CR stays on its line
      {"abc\r\ndef\r", 5},  // and the LF after it
      {"abc\n\rdef\r", 5},  // an LF alone is a character of the line
  };
  for (const auto& c : cases)
    for (const int font : {0, 1}) EXPECT_EQ(BreakLine(c.text, kNarrow, font), c.result) << c.text;
}

TEST(BreakLine, KeepsBlanksOnAFullLineAndMovesTheNextWord) {
  std::u16string paragraph;
  for (int i = 0; i < 6; ++i) paragraph += u"Мама мыла раму. ";
  const std::string text = Cp(paragraph) + "\r";
  ASSERT_EQ(text.size(), 97u);
  EXPECT_EQ(BreakLine(text, kNarrow, 0), 53);
  EXPECT_EQ(BreakLine(std::string_view(text).substr(53), kNarrow, 0), 44);
}

TEST(BreakLine, HyphenatesAWordThatDoesNotFit) {
  const struct {
    std::u16string text;
    int width, result;
  } cases[] = {
      {u"ab молоко", 80, 5},  // "ab мо-": 33 pixels used, молоко cut within 36
      {u"ab молоко", 60, 3},  // less than three hyphens of room: the word moves on
      {u"ab стрстр", 80, 3},  // no split: the word moves on
      {u"молоко.", 70, 4},    // fits, but its full stop does not: "моло-"
      {u"молоко. ", 80, 8},
  };
  for (const auto& c : cases) EXPECT_EQ(BreakLine(Cp(c.text), c.width, 0), c.result) << c.width;
}

// The device shows a hyphen where a line cuts a word it hyphenates, never after a word cut whole or
// a long word or number cut at the width.
TEST(EndsHyphenated, ShowsAHyphenOnlyInsideAHyphenatedWord) {
  const struct {
    std::u16string text;
    size_t lineEnd;
    bool hyphen;
  } cases[] = {
      {u"ab молоко", 5, true},   // "ab мо-"
      {u"ab молоко", 3, false},  // the whole word moves on
      {u"ab молоко", 9, false},  // the paragraph's end
      {u"молоко.", 6, false},    // before a mark
      {u"don't", 4, true},       // an apostrophe is a letter
      {u"1234567890", 4, false},
      {std::u16string(39, u'a') + u"b", 20, true},  // 40 letters
      {std::u16string(41, u'a'), 20, false},        // a long word is cut without a hyphen
      {u"ab", 0, false},
  };
  for (const auto& c : cases) EXPECT_EQ(EndsHyphenated(Cp(c.text), c.lineEnd), c.hyphen) << c.lineEnd;
}

TEST(BreakLine, CutsLongWordsAndNumbersAtTheWidth) {
  const std::string letters60(60, 'a'), digits130(130, '7');
  const struct {
    std::string text;
    int width, result;
  } cases[] = {
      {letters60 + "\r", kNarrow, 52},
      {std::string(45, 'a') + " more text\r", kNarrow, 45},  // a long word always ends the line
      {std::string(40, 'a') + "...\r", kNarrow, 44},         // with its dots and the CR
      {digits130, kNarrow, 52},
      {digits130.substr(52), kNarrow, 52},
      {digits130.substr(104), kNarrow, 26},
      {"abcd 1234567890", 100, 9},  // four digits fit; the six left do not
      {"12345678 x", 90, 9},
  };
  for (const auto& c : cases) EXPECT_EQ(BreakLine(c.text, c.width, 0), c.result) << c.text;
}

TEST(BreakLine, ReservesRoomForThePunctuationAfterAWord) {
  const struct {
    std::string text;
    int width, result;
  } cases[] = {
      {"ab cd!", 66, 6},     // 55 + 11 for "!"
      {"ab cd!", 65, 3},     // the word and its mark move on together
      {"ab cd!!!", 77, 3},   // at most 2 hyphens left for 3 marks
      {"ab cd!!!", 78, 7},   // the marks themselves are then taken while they fit
      {"ab 1234!!", 88, 3},  // numbers too
      {"ab 1234!!", 89, 8},
  };
  for (const auto& c : cases) EXPECT_EQ(BreakLine(c.text, c.width, 0), c.result) << c.width;
}

// Where the rules would leave the line empty, it holds the whole opening word or number.
TEST(BreakLine, NeverReturnsZeroForAText) {
  const struct {
    std::string text;
    int font, width, result;
  } cases[] = {
      {std::string(40, '\xC0') + "...\r", 1, kNarrow, 40},  // 560 pixels, 16 left for "..."
      {std::string(40, '\xC0') + "...\r", 1, kWide, 44},
      {"ab" + std::string(60, '.'), 0, kNarrow, 2},
      {"ab" + std::string(60, '.'), 1, kNarrow, 2},
      {"12345678" + std::string(60, ','), 0, kNarrow, 8},
      {"12345678" + std::string(60, ','), 1, kWide, 8},
      {"abcdef", 0, 10, 6},  // a width below every letter
  };
  for (const auto& c : cases)
    EXPECT_EQ(BreakLine(c.text, c.width, c.font), c.result) << c.text.substr(0, 12) << " " << c.font;
  EXPECT_EQ(BreakLine("", kNarrow, 0), 0);
}

}  // namespace
}  // namespace bookloom

namespace bookloom {
namespace {

// The lines of a paragraph as BreakLine cuts them, one call per line.
std::vector<size_t> LineEnds(std::string_view paragraph, int width, int font) {
  std::vector<size_t> ends;
  for (size_t at = 0; at < paragraph.size(); ends.push_back(at))
    at += static_cast<size_t>(BreakLine(paragraph.substr(at), width, font));
  return ends;
}

// The breaker that counts a paragraph once cuts every line of every layout where BreakLine does.
TEST(ParagraphBreaker, CutsEveryLineAsBreakLineDoes) {
  std::string words;
  for (int i = 0; i < 40; ++i) words += Cp(u"Мама мыла раму, «а папа — нет»... 1234567890 подъезд; ");
  const std::string cases[] = {
      "",  // first, while the breaker's tables are empty
      words + "\r",
      Cp(u"Превысокомногорассмотрительствующийпревысокомногорассмотрительствующий слово") + "\r",
      "123456789012345678901234567890 1999's, l'amour!!!??? x" + std::string(300, '.') + "\r\n",
      Cp(u"сестра, молоко; подъезд: война!") + std::string(60, ' ') + "\r",
      std::string("\r"),
      std::string(500, 'm') + " " + std::string(3, '\'') + "\r",
  };
  const struct {
    int width, font;
  } layouts[] = {{kNarrow, 0}, {kNarrow, 1}, {kWide, 0}, {kWide, 1}, {40, 0}, {30, 1}};
  ParagraphBreaker breaker;
  for (const std::string& paragraph : cases) {
    breaker.Start(paragraph);
    for (const auto& l : layouts) {
      std::vector<size_t> ends;
      for (size_t at = 0; at < paragraph.size(); ends.push_back(at))
        at += breaker.BreakLine(at, l.width, l.font);
      EXPECT_EQ(ends, LineEnds(paragraph, l.width, l.font)) << paragraph.substr(0, 30) << " " << l.width;
    }
  }
}

// Random paragraphs of words of every length (beyond the longest that is hyphenated too), numbers
// (beyond the longest kept whole), clusters of marks and other bytes, blanks and line ends, at every
// width: the breaker cuts them where BreakLine does.
TEST(ParagraphBreaker, CutsRandomParagraphsAsBreakLineDoes) {
  std::mt19937 random(1251);
  const auto pick = [&](std::string_view from) { return from[random() % from.size()]; };
  const std::string letters = Cp(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюяАЕЁОУЫЭЮЯЄЇєї") + "aeiouybcdlmnrst'AZ";
  ParagraphBreaker breaker;
  for (int round = 0; round < 400; ++round) {
    std::string paragraph;
    for (int token = 1 + static_cast<int>(random() % 80); token > 0; --token) {
      switch (random() % 8) {
        case 0:
        case 1:
        case 2:
          for (int n = 1 + static_cast<int>(random() % (random() % 10 ? 12 : 50)); n > 0; --n)
            paragraph += pick(letters);
          break;
        case 3:
          for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n) paragraph += pick("0123456789");
          break;
        case 4:
          for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n)  // marks, now and then any byte
            paragraph +=
                random() % 4 ? pick(".,;:!?'\"()-&<\x85\xAB\xBB") : static_cast<char>(random() % 256);
          break;
        case 5:
        case 6:
          paragraph += std::string(1 + random() % 2, ' ');
          break;
        default:
          paragraph += random() % 3 ? "\r\n" : random() % 2 ? "\n" : "\r";
      }
    }
    paragraph += '\r';
    breaker.Start(paragraph);
    for (int layout = 0; layout < 6; ++layout) {
      const int width = 20 + static_cast<int>(random() % 780), font = layout % 2;
      std::vector<size_t> ends;
      for (size_t at = 0; at < paragraph.size(); ends.push_back(at)) at += breaker.BreakLine(at, width, font);
      ASSERT_EQ(ends, LineEnds(paragraph, width, font)) << "round " << round << ", width " << width;
    }
  }
}

}  // namespace
}  // namespace bookloom
