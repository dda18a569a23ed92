#include <gtest/gtest.h>

#include <QSettings>
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

// Every value comes back from the user's settings as it was written: texts outside ASCII, blanks
// and quotes of a pattern, a shorter list of recent projects that leaves none of the longer behind.
TEST(Settings, ReadsBackEveryValueFromTheUsersFile) {
  test::ScratchDir dir;
  const QString path = QString::fromStdString((dir / "bookloom" / "bookloom.conf").string());
  Settings s;
  s.windowLeft = 160;
  s.windowHeight = 426;
  s.coverFileName = u"/pics/été.bmp";
  s.coverColors = 2;
  s.enlargeCover = false;
  s.coverBottom = 12;
  s.recentProjects = {u"/a.bookloom", u"/b.bookloom"};
  {
    QSettings store(path, QSettings::IniFormat);
    SaveSettings(s, store);
  }
  s.recentProjects = {u"/c.bookloom"};
  {
    QSettings store(path, QSettings::IniFormat);
    SaveSettings(s, store);
  }
  const std::string text = ReadText(dir / "bookloom" / "bookloom.conf");
  EXPECT_NE(text.find("[Bookloom]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("FormXPos=160\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Cover]\n"), std::string::npos) << text;
  QSettings store(path, QSettings::IniFormat);
  Settings read;
  LoadSettings(read, store);
  EXPECT_EQ(read.windowLeft, 160);
  EXPECT_EQ(read.windowTop, -1);
  EXPECT_EQ(read.windowHeight, 426);
  EXPECT_EQ(read.coverFileName, u"/pics/été.bmp");
  EXPECT_EQ(read.coverColors, 2);
  EXPECT_FALSE(read.enlargeCover);
  EXPECT_EQ(read.coverBottom, 12);
  EXPECT_EQ(read.recentProjects, std::vector<std::u16string>{u"/c.bookloom"});
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
}

TEST(Settings, UnwritableFileRaisesUnableToWrite) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "file", "not a folder");
  const std::u16string path = U16(dir / "file" / "bookloom.conf");
  QSettings store(QString::fromStdU16String(path), QSettings::IniFormat);
  try {
    SaveSettings(Settings{}, store);
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
  QSettings path(QString::fromStdString((dir / "bookloom.conf").string()), QSettings::IniFormat);
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
