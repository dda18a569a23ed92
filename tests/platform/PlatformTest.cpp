#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "platform/Bitmap.h"
#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/LittleEndian.h"
#include "platform/Stream.h"
#include "platform/Utf.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

TEST(Format, FillsThePlaceholdersOfTheMessages) {
  EXPECT_EQ(Format("Attempt to register %s twice!", {"txt"}), "Attempt to register txt twice!");
  EXPECT_EQ(Format("0x%4.4x", {0x4E2D}), "0x4E2D");
  EXPECT_EQ(Format("0x%4.4x", {0xE9}), "0x00E9");
  EXPECT_EQ(Format("%d.%d.%2.2d", {1, 5, 3}), "1.5.03");
  EXPECT_EQ(Format("%0.1f KB", {1.5}), "1.5 KB");
  EXPECT_EQ(Format("$%x in %s", {0x4E2D, std::u16string(u"Windows-1251")}), "$4E2D in Windows-1251");
  EXPECT_EQ(Format("100%% %s", {}), "100% ");
}

TEST(Utf8ToUtf16, DecodesEverySequenceAndReplacesFaults) {
  EXPECT_EQ(Utf8ToUtf16("\xD0\x9C\xD0\xB0"), u"Ма");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"€");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
  EXPECT_EQ(Utf8ToUtf16("a\xC3(b"), u"a\uFFFD(b");                // bad continuation
  EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");                // cut short
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong form
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xF0\x9F\x98\x80 \xD0\x96")), "\xF0\x9F\x98\x80 \xD0\x96");
  // Bytes that end with a two-byte letter and have nothing after them (no string's closing zero:
  // under AddressSanitizer a read past the end fails).
  const auto bytes = std::make_unique<char[]>(4);
  std::memcpy(bytes.get(), "\xD0\x9C\xD0\xB0", 4);
  EXPECT_EQ(Utf8ToUtf16(std::string_view(bytes.get(), 4)), u"Ма");
  EXPECT_TRUE(IsValidUtf8(std::string_view(bytes.get(), 4)));
}

// Validity, and the faults a decoding counts: the number of bad sequences and where the first
// one's U+FFFD stands in the text.
TEST(Utf8ToUtf16, CountsTheSequencesItReplaces) {
  const struct {
    std::string utf8;
    size_t faults, firstAt;
  } cases[] = {
      {"", 0, 0},
      {"plain", 0, 0},
      {"\xD0\x9C\xD0\xB0 \xE2\x82\xAC\xF0\x9F\x98\x80", 0, 0},
      {"\xD0", 1, 0},                                 // cut short after a lead byte of two
      {"\xF0\x9F\x98\x80\xD0\x41", 1, 2},             // after a surrogate pair: its two units count
      {"ok \xC1\xBF", 2, 3},                          // overlong: two bytes that lead nothing
      {"\xED\xA0\x80", 3, 0},                         // encoded surrogate
      {"\xF4\x90\x80\x80 \xFF", 5, 0},                // beyond U+10FFFF, then a byte never used
      {std::string("\xEF\xBF\xBD a \xFF", 7), 1, 4},  // a U+FFFD of the text is no fault
      {"\x80", 1, 0},                                 // more units than valid UTF-8 of its length
      {std::string(100, '\x80') + "\xD0\x96", 100, 0},
  };
  for (const auto& c : cases) {
    DecodingFaults faults;
    Utf8ToUtf16(c.utf8, &faults);
    EXPECT_EQ(faults.count, c.faults) << c.utf8;
    EXPECT_EQ(faults.firstAt, c.firstAt) << c.utf8;
    EXPECT_EQ(IsValidUtf8(c.utf8), c.faults == 0) << c.utf8;
  }
}

// Long texts, where blocks of ASCII and two-byte letters are decoded many at a time: any mix of
// sequences, with damaged bytes anywhere between them (each one bad sequence), decodes as the
// letters it was made from.
TEST(Utf8ToUtf16, DecodesLongMixedTextsAsTheirLetters) {
  const char32_t letters[] = {U'a',      U' ',      U'.',      U'\u00E9', U'\u0416',    U'\u0436',
                              U'\u07FF', U'\u00AB', U'\u2014', U'\u20AC', U'\U0001F600'};
  const char* damage[] = {"\xFF", "\x80", "\xC3"};
  std::mt19937 random(1251);
  for (int round = 0; round < 300; ++round) {
    std::string utf8;
    std::u16string expected;
    DecodingFaults expectedFaults;
    // Now and then one long enough to be decoded in several blocks.
    const int runs = 1 + static_cast<int>(random() % (round % 10 == 0 ? 4000 : 60));
    // Runs of one kind of letter, as words are; damage now and then.
    for (int i = 0; i < runs; ++i) {
      if (random() % 8 == 0) {
        if (expectedFaults.count++ == 0) expectedFaults.firstAt = expected.size();
        utf8 += damage[random() % 3];
        expected += u'\uFFFD';
      }
      const char32_t letter = letters[random() % std::size(letters)];
      for (int run = 1 + static_cast<int>(random() % 12); run > 0; --run) {
        const std::u16string one =
            letter > 0xFFFF ? std::u16string{static_cast<char16_t>(0xD800 + ((letter - 0x10000) >> 10)),
                                             static_cast<char16_t>(0xDC00 + ((letter - 0x10000) & 0x3FF))}
                            : std::u16string{static_cast<char16_t>(letter)};
        utf8 += Utf16ToUtf8(one);
        expected += one;
      }
    }
    DecodingFaults faults;
    ASSERT_EQ(Utf8ToUtf16(utf8, &faults), expected) << "round " << round;
    EXPECT_EQ(faults.count, expectedFaults.count) << "round " << round;
    EXPECT_EQ(faults.firstAt, expectedFaults.firstAt) << "round " << round;
  }
}

TEST(CompareNatural, OrdersNumbersByValueAndIgnoresCaseAndBlanks) {
  const struct {
    std::u16string a, b;
    int order;
  } cases[] = {
      {u"page2", u"page10", -1},
      {u"page10", u"page2", 1},
      {u"Page 3", u"page10", -1},
      {u"page 3", u"page2", 1},
      {u"p007", u"p7", -1},
      {u"p7", u"p007", 1},
      {u"a", u"B", -1},
      {u"ch1/p2", u"ch1/p10", -1},
      {u"ch2/p1", u"ch10/p1", -1},
      {u"x", u"x1", -1},
      {u"page", u"page", 0},
      {u"Глава 2", u"глава 10", -1},
      {u"99999999999999999999", u"100000000000000000000", -1},
  };
  for (const auto& c : cases) {
    const int order = CompareNatural(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << Utf16ToUtf8(c.a) << " " << Utf16ToUtf8(c.b);
  }
}

TEST(LittleEndian, PutsAndGetsLowestByteFirst) {
  std::string buf(6, '\0');
  PutU16(buf, 0, 0x0201);
  PutU32(buf, 2, 0xFFFFFFFEu);
  EXPECT_EQ(buf, std::string("\x01\x02\xFE\xFF\xFF\xFF", 6));
  EXPECT_EQ(GetU16(buf, 0), 0x0201);
  EXPECT_EQ(GetU32(buf, 2), 0xFFFFFFFEu);
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(3000, 200, 1000), 600);
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(7, 1, 3), 2);
  EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);  // needs the 64-bit intermediate
}

TEST(Bitmap, ConvertsBetweenFormats) {
  Bitmap b(3, 2, PixelFormat::k24Bit);
  b.Fill(kWhite);
  b.SetPixel(1, 1, {255, 0, 0});
  b.SetFormat(PixelFormat::k1Bit);
  EXPECT_EQ(b.Pixel(0, 0), kWhite);
  EXPECT_EQ(b.Pixel(1, 1), kBlack);  // red is nearer to black
  b.SetFormat(PixelFormat::k24Bit);
  EXPECT_EQ(b.Pixel(1, 1), kBlack);
}

TEST(Streams, WriteSeekAndReportFailures) {
  MemoryOutputStream m;
  m.WriteStr("abcdef");
  m.Seek(2);
  m.WriteStr("XY");
  EXPECT_EQ(m.Position(), 4u);
  m.Seek(6);
  m.WriteStr("g");
  EXPECT_EQ(m.Bytes(), "abXYefg");

  test::ScratchDir dir;
  const std::u16string name = Utf8ToUtf16((dir / "f.bin").string());
  {
    FileOutputStream f(name);
    f.WriteStr("0123456789");
    f.Seek(0);
    f.WriteStr("AB");
    f.Close();
  }
  EXPECT_EQ(ReadFileBytes(name), "AB23456789");
  EXPECT_EQ(FileSize(name), 10);
  EXPECT_TRUE(FileExists(name));
  EXPECT_FALSE(FileExists(Utf8ToUtf16(dir.Path().string())));  // a folder is not a file
  EXPECT_THROW(FileOutputStream(Utf8ToUtf16((dir / "no/such/dir/x").string())), FileCreateError);
  EXPECT_THROW(ReadFileBytes(Utf8ToUtf16((dir / "missing").string())), FileOpenError);
  if (FileExists(u"/dev/full")) {
    FileOutputStream full(u"/dev/full");
    std::string big(1 << 20, 'x');
    EXPECT_THROW(
        {
          full.Write(big.data(), big.size());
          full.Close();
        },
        WriteError);
  }
}

// A temporary file that will replace a file is made anew, never through an existing name, and with
// no wider permissions than the file it replaces.
TEST(Streams, ATemporaryFileTakesThePermissionsOfTheFileItReplaces) {
  const test::ScratchDir dir;
  const std::u16string book = (dir / "book.wol").u16string(), part = (dir / "book.wol.part1").u16string();
  WriteFileReplacing(book, "old");
  ASSERT_EQ(chmod((dir / "book.wol").c_str(), 0640), 0);
  {
    FileOutputStream temporary(part, book);
    struct stat st {};
    ASSERT_EQ(stat((dir / "book.wol.part1").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u & ~CurrentUmask());
  }
  EXPECT_THROW(FileOutputStream(part, book), FileCreateError);  // the name is taken
  ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (dir / "link.part").c_str()), 0);
  EXPECT_THROW(FileOutputStream((dir / "link.part").u16string(), book), FileCreateError);
  EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere"));
}

}  // namespace
}  // namespace bookloom
