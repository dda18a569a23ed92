#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/Exception.h"
#include "platform/Utf.h"
#include "support/TestData.h"
#include "ui/Settings.h"

namespace bookloom {
namespace {

std::u16string U16(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }

std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SettingsPathFor, ReplacesTheExtensionOfTheFileNameOnly) {
  const struct {
    std::u16string exe, ini;
  } cases[] = {
      {u"/usr/bin/bookloom", u"/usr/bin/bookloom.ini"},
      {u"/opt/book.loom/bookloom", u"/opt/book.loom/bookloom.ini"},  // a dot in a folder name
      {u"/opt/bookloom.bin", u"/opt/bookloom.ini"},
      {u"/opt/bookloom.tar.gz", u"/opt/bookloom.tar.ini"},
      {u"bookloom", u"bookloom.ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsPathFor(c.exe), c.ini) << Utf16ToUtf8(c.exe);
}

TEST(ParseProfileInteger, ReadsDecimalAndHexadecimalAndFallsBackToTheDefault) {
  const struct {
    std::u16string text;
    int32_t expected;
  } cases[] = {
      {u"0", 0},
      {u"-1", -1},
      {u"+12", 12},
      {u"0x20", 32},
      {u"0X1f", 31},
      {u"0xFFFFFFFF", -1},
      {u"2147483647", 2147483647},
      {u"-2147483648", INT32_MIN},
      {u"", 99},
      {u"abc", 99},
      {u"12px", 99},
      {u"0x", 99},
      {u"0xG1", 99},
      {u"0x100000000", 99},
      {u"2147483648", 99},
      {u"-", 99},
      {u"-0x10", 99},
      {u"1 2", 99},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProfileInteger(c.text, 99), c.expected) << Utf16ToUtf8(c.text);
}

TEST(Settings, FirstRunWritesBothSectionsWithEveryKeyInOrder) {
  test::ScratchDir dir;
  Settings settings;
  LoadSettings(settings, U16(dir / "bookloom.ini"));  // no file: all defaults
  settings.windowLeft = 160;
  settings.windowTop = 181;
  settings.windowWidth = 697;
  settings.windowHeight = 426;
  SaveSettings(settings, U16(dir / "bookloom.ini"));
  EXPECT_EQ(ReadText(dir / "bookloom.ini"),
            "[Bookloom]\n"
            "FormXPos=160\n"
            "FormYPos=181\n"
            "FormXLen=697\n"
            "FormYLen=426\n"
            "[Cover]\n"
            "CoverFileName=\n"
            "CoverColors=0\n"
            "EnlargeCover=1\n"
            "CoverLeft=0\n"
            "CoverRight=0\n"
            "CoverTop=0\n"
            "CoverBottom=0\n");
}

TEST(Settings, ReadsHexadecimalAndKeepsDefaultsForWhatDoesNotParse) {
  test::ScratchDir dir;
  std::ofstream(dir / "b.ini") << "[Bookloom]\nFormXPos=0x20\nFormYPos=abc\nFormXLen=0\n"
                                  "[Cover]\nCoverFileName=/pics/\xC3\xA9t\xC3\xA9.bmp\nCoverColors=2\n"
                                  "EnlargeCover=0\nCoverTop=0x10\nCoverBottom=\n";
  Settings s;
  s.coverLeft = 77;  // every value is read, so nothing stays from before
  LoadSettings(s, U16(dir / "b.ini"));
  EXPECT_EQ(s.windowLeft, 32);
  EXPECT_EQ(s.windowTop, -1);
  EXPECT_EQ(s.windowWidth, 0);
  EXPECT_EQ(s.windowHeight, -1);
  EXPECT_EQ(s.coverFileName, u"/pics/été.bmp");
  EXPECT_EQ(s.coverColors, 2);
  EXPECT_FALSE(s.enlargeCover);
  EXPECT_EQ(s.coverLeft, 0);
  EXPECT_EQ(s.coverTop, 16);
  EXPECT_EQ(s.coverBottom, 0);

  // Saving writes the values back and keeps the file's other lines.
  SaveSettings(s, U16(dir / "b.ini"));
  Settings again;
  LoadSettings(again, U16(dir / "b.ini"));
  EXPECT_EQ(again.windowLeft, 32);
  EXPECT_EQ(again.coverFileName, u"/pics/été.bmp");
  EXPECT_FALSE(again.enlargeCover);
  EXPECT_EQ(ReadText(dir / "b.ini").find("FormXPos=32\n"), 11u);
}

TEST(Settings, UnwritableFileRaisesUnableToWrite) {
  test::ScratchDir dir;
  const std::u16string path = U16(dir / "missing" / "bookloom.ini");
  try {
    SaveSettings(Settings{}, path);
    FAIL() << "no error";
  } catch (const WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + Utf16ToUtf8(path));
  }
}

// The book's file settings are kept once they differ from the built-in ones, every value read back
// as it was (blanks and quotes of a pattern too); a shorter list of patterns leaves none of the
// longer one behind, and a value that does not parse gives its default.
TEST(Settings, KeepsTheBookDefaultsOnceTheyDiffer) {
  test::ScratchDir dir;
  const std::u16string path = U16(dir / "bookloom.ini");
  Settings s;
  FileSettings& d = s.bookDefaults;
  d.text = {"KOI8-R", true, {u"\"Scene\" \\d+", u" Глава .*"}, Unwrap::kAuto};
  d.picture = {true, PageColors::kMonochrome, Rotation::kRight, Split::kRightToLeft, true, 0.35, true, true};
  d.documentMode = DocumentMode::kPages;
  SaveSettings(s, path);
  Settings read;
  LoadSettings(read, path);
  EXPECT_EQ(read.bookDefaults, d);

  d.text.chapterPatterns = {u"Part .*"};
  d.picture.gamma = 1.0;
  SaveSettings(s, path);
  LoadSettings(read, path);
  EXPECT_EQ(read.bookDefaults, d);

  d = FileSettings();  // back to the built-in ones: written all the same, so that they win over the old
  SaveSettings(s, path);
  LoadSettings(read, path);
  EXPECT_EQ(read.bookDefaults, FileSettings());

  std::ofstream(dir / "bad.ini") << "[BookDefaults]\nRotate=sideways\nGamma=11\nUnwrap=\nChapters=x\nDocumentMode=all\n";
  read.bookDefaults.picture.gamma = 3;
  LoadSettings(read, U16(dir / "bad.ini"));
  EXPECT_EQ(read.bookDefaults, FileSettings());
}

}  // namespace
}  // namespace bookloom
