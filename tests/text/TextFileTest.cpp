#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "support/TestData.h"
#include "text/TextFile.h"

namespace bookloom {
namespace {

using Lines = std::vector<std::u16string_view>;

TEST(SplitLines, BreaksAtCrLfAndLineSeparator) {
  const struct {
    std::u16string text;
    Lines lines;
  } cases[] = {
      {u"A\r\nB\r\n", {u"A", u"B"}},
      {u"A\rB", {u"A", u"B"}},
      {u"A\nB\n", {u"A", u"B"}},
      {u"A\n\rB", {u"A", u"", u"B"}},  // LF CR is two breaks
      {u"A\r\rB", {u"A", u"", u"B"}},
      {u"A\u2028B", {u"A", u"B"}},
      {u"A\r\n\u2028B\r\u2028", {u"A", u"B"}},
      {u"\n", {u""}},
      {u"A\n\n", {u"A", u""}},
      {std::u16string(u"A\nB\0C\nD", 7), {u"A", u"B"}},  // U+0000 ends the text
      {u"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(c.lines);
  // Long lines, which are searched many units at a time: a break, or the U+0000 that ends the text,
  // at every place of a block.
  for (size_t at = 0; at < 40; ++at)
    for (const char16_t stop : {u'\r', u'\n', u'\u2028', u'\0'}) {
      std::u16string text(80, u'x');
      text[at] = stop;
      const std::u16string_view before = std::u16string_view(text).substr(0, at);
      const Lines expected = stop != u'\0'    ? Lines{before, std::u16string_view(text).substr(at + 1)}
                             : before.empty() ? Lines{}
                                              : Lines{before};
      EXPECT_EQ(SplitLines(text), expected) << at;
    }
}

}  // namespace
}  // namespace bookloom

namespace bookloom {
namespace {

// UTF-16LE or UTF-16BE bytes of a text, without a mark.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (const char16_t c : text) {
    const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// How bytes without a mark are read, and the faults they hold.
TEST(DecodeTextFile, TellsTheEncodingAndContainsTheDamage) {
  std::string novel;
  for (int i = 0; i < 300; ++i) novel += "Глава, в которой ничего не случилось.\n";
  std::string damaged = novel;
  damaged.insert(novel.size() / 2 + 1, "\xFF");  // inside a letter of line 151: three bad sequences
  std::string cp1251 = damaged;                  // a few damaged bytes among many: no UTF-8 at all
  for (int i = 0; i < 30; ++i) cp1251 += "\xCC\xE0\xEC\xE0\n";
  const struct {
    std::string bytes, encoding;
    std::u16string start;
    size_t faults, firstFaultLine;
  } cases[] = {
      {damaged, "UTF-8", u"Глава, в", 3, 151},
      {cp1251, "WINDOWS-1251", u"\u0420\u201C", 0, 0},  // read in a code page, as it then shows
      {Utf16Bytes(u"Plain Latin text,\nand more.", false), "UTF-16LE", u"Plain Latin text,", 0, 0},
      {Utf16Bytes(u"Мама мыла раму, 1999.", true), "UTF-16BE", u"Мама мыла раму", 0, 0},
      {Utf16Bytes(u"Мама мыла раму, 1999.", false), "UTF-16LE", u"Мама мыла раму", 0, 0},
      {"na\xEFve caf\xE9", "WINDOWS-1252", u"naïve café", 0, 0},  // too short for the detector
      {"\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!", "WINDOWS-1251", u"Привет, мир!", 0, 0},
  };
  for (const auto& c : cases) {
    const DecodedTextFile file = DecodeTextFile(c.bytes);
    EXPECT_EQ(file.encoding, c.encoding) << c.bytes.substr(0, 40);
    EXPECT_EQ(file.text.substr(0, c.start.size()), c.start) << c.bytes.substr(0, 40);
    EXPECT_EQ(file.faults.count, c.faults) << c.bytes.substr(0, 40);
    EXPECT_EQ(file.firstFaultLine, c.firstFaultLine) << c.bytes.substr(0, 40);
  }
}

// Control characters have no place in a book: they are left out and counted, in every encoding.
TEST(DecodeTextFile, LeavesOutControlCharacters) {
  const struct {
    std::string bytes, encoding;
    std::u16string text;
    size_t count, firstLine;
  } cases[] = {
      {"a\tb\r\nc\x07"
       "d\n\x1B[1me\x7F",
       "", u"a\tb\r\ncd\n[1me", 3, 2},
      {"\xEF\xBB\xBF\xD0\xAF\x01\n", "", u"\u042F\n", 1, 1},
      {std::string("\xFF\xFEx\0\x08\0", 6), "", u"x", 1, 1},
      {"\xC0\x0C", "CP1251", u"\u0410", 1, 1},
      {"plain\n", "", u"plain\n", 0, 0},
  };
  for (const auto& c : cases) {
    const DecodedTextFile file = DecodeTextFile(c.bytes, c.encoding);
    EXPECT_EQ(file.text, c.text) << c.bytes;
    EXPECT_EQ(file.controls.count, c.count) << c.bytes;
    EXPECT_EQ(file.controls.firstLine, c.firstLine) << c.bytes;
  }
  EXPECT_EQ(DecodingWarnings(DecodeTextFile("a\n\x07\x07")),
            std::vector<std::string>{"2 control characters left out, the first on line 2"});
}

TEST(DecodeTextFile, ReadsTheEncodingItIsGiven) {
  const struct {
    std::string bytes, encoding;
    std::u16string text;
    size_t faults, firstFaultLine;
  } cases[] = {
      {"\xED\xC1\xCD\xC1", "KOI8-R", u"Мама", 0, 0},
      {"\xEF\xBB\xBF\xD0\x96", "UTF-8", u"Ж", 0, 0},  // its mark is left out
      {"ok\n\xCC\xE0\xEC\xE0\n", "UTF-8", u"ok\n\uFFFD\uFFFD\uFFFD\uFFFD\n", 4, 2},
      {std::string("A\0B", 3), "UTF-16LE", u"A\uFFFD", 1, 1},  // cut short
  };
  for (const auto& c : cases) {
    const DecodedTextFile file = DecodeTextFile(c.bytes, c.encoding);
    EXPECT_EQ(file.text, c.text) << c.bytes;
    EXPECT_EQ(file.faults.count, c.faults) << c.bytes;
    EXPECT_EQ(file.firstFaultLine, c.firstFaultLine) << c.bytes;
  }
  EXPECT_THROW(DecodeTextFile("x", "NO-SUCH-ENCODING"), ConvertError);
}

// One byte 0xFF in the middle of the 1.9 MB novel: the novel stays UTF-8, the damage on its line.
TEST(DecodeTextFile, KeepsANovelWithOneDamagedByte) {
  REQUIRE_TESTDATA();
  const std::string bytes = test::ReadBytes(test::TestDataPath("texts/ru/crime_and_punishment.utf8.txt"));
  std::string damaged = bytes;
  damaged.insert(1000000, "\xFF");
  const DecodedTextFile file = DecodeTextFile(damaged);
  EXPECT_EQ(file.encoding, "UTF-8");
  EXPECT_GE(file.faults.count, 1u);
  EXPECT_LE(file.faults.count, 3u);
  const std::u16string originalText = DecodeTextFile(bytes).text;
  const auto lines = SplitLines(file.text), original = SplitLines(originalText);
  ASSERT_EQ(lines.size(), original.size());
  size_t differing = 0;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] != original[i]) {
      ++differing;
      EXPECT_EQ(i + 1, file.firstFaultLine);
    }
  EXPECT_EQ(differing, 1u);
}

}  // namespace
}  // namespace bookloom

namespace bookloom {
namespace {

TEST(LooksLikeText, TakesTextInAnyEncodingAndRefusesBinaryFiles) {
  const struct {
    std::string start;
    bool text;
  } cases[] = {
      {"", true},
      {"Plain text\r\n\twith tabs\f and a page end\x1A", true},
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", true},  // UTF-8
      {"\xCF\xF0\xE8\xE2\xE5\xF2", true},                          // Windows-1251
      {"\x1B[31mred\x1B[0m", true},                                // coloured text art
      {std::string("\xFF\xFEH\0i\0", 6), true},                    // UTF-16 after its mark
      {std::string("H\0e\0l\0l\0o\0", 10), true},                  // UTF-16 by its zero bytes
      {std::string("H\0\x01\0l\0l\0o\0", 10), false},              // UTF-16 with a control character
      {std::string("text\0\0\0\x01more", 12), false},
      {std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), false},
      {"text\x7F", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeText(c.start), c.text) << c.start;
}

}  // namespace
}  // namespace bookloom
