#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/IniFile.h"
#include "platform/Utf.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

std::u16string U16(const std::filesystem::path& p) { return Utf8ToUtf16(p.string()); }

void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(IniFile, ReadsValuesAsProfileStringsDo) {
  test::ScratchDir dir;
  WriteText(dir / "a.ini",
            "Orphan=1\r\n"
            "[Main]\r\n"
            "; Width=5\r\n"
            "  Width =  640  \r\n"
            "Name=\"quoted value\"\r\n"
            "Other='x'\r\n"
            "Empty=\r\n"
            "Kyiv=\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2\r\n"
            "[main]\r\n"
            "Width=1\r\n"
            "[Second]\n"
            "Width=7\n");
  const IniFile ini(U16(dir / "a.ini"));
  const struct {
    std::u16string section, key, expected;
  } cases[] = {
      {u"Main", u"Width", u"640"},          // blanks around key and value are dropped
      {u"MAIN", u"width", u"640"},          // names ignore case; the first section wins
      {u"Main", u"Name", u"quoted value"},  // one pair of quotes comes off
      {u"Main", u"Other", u"x"},           {u"Main", u"Empty", u""},
      {u"Main", u"Kyiv", u"Київ"},         {u"Second", u"Width", u"7"},  // lines ending in LF alone
      {u"Main", u"Orphan", u"def"},   // keys before the first section belong to none
      {u"Main", u"; Width", u"def"},  // comments are not keys
      {u"Main", u"Missing", u"def"},       {u"Nowhere", u"Width", u"def"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini.ReadString(c.section, c.key, u"def"), c.expected)
        << Utf16ToUtf8(c.section) << "/" << Utf16ToUtf8(c.key);
}

TEST(IniFile, CutsLongValuesTo2047Characters) {
  test::ScratchDir dir;
  WriteText(dir / "a.ini", "[S]\nK=" + std::string(3000, 'v') + "\n");
  EXPECT_EQ(IniFile(U16(dir / "a.ini")).ReadString(u"S", u"K", u"").size(), 2047u);
}

TEST(IniFile, WritesInPlaceAtTheSectionsEndOrInANewSection) {
  test::ScratchDir dir;
  WriteText(dir / "a.ini",
            "; settings\n"
            "[One]\n"
            "A=1\n"
            "B=2\n"
            "\n"
            "[Two]\n"
            "C=3\n");
  IniFile ini(U16(dir / "a.ini"));
  ini.WriteString(u"one", u"b", u"20");  // replaces the line, with the name as written now
  ini.WriteString(u"One", u"D", u"4");   // after the last entry, before the blank line
  ini.WriteString(u"Three", u"E", u"5");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(ReadText(dir / "a.ini"),
            "; settings\n"
            "[One]\n"
            "A=1\n"
            "b=20\n"
            "D=4\n"
            "\n"
            "[Two]\n"
            "C=3\n"
            "[Three]\n"
            "E=5\n");
}

TEST(IniFile, MissingFileStartsEmptyAndUnwritableFileReportsFailure) {
  test::ScratchDir dir;
  IniFile fresh(U16(dir / "new.ini"));
  EXPECT_EQ(fresh.ReadString(u"S", u"K", u"d"), u"d");
  fresh.WriteString(u"S", u"K", u"v");
  ASSERT_TRUE(fresh.UpdateFile());
  EXPECT_EQ(ReadText(dir / "new.ini"), "[S]\nK=v\n");

  IniFile nowhere(U16(dir / "no-such-folder" / "a.ini"));
  nowhere.WriteString(u"S", u"K", u"v");
  EXPECT_FALSE(nowhere.UpdateFile());
}

}  // namespace
}  // namespace bookloom
