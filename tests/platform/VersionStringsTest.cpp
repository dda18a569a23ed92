#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/Utf.h"
#include "platform/VersionStrings.h"
#include "support/ElfFile.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

std::u16string WriteFile(const test::ScratchDir& dir, const std::string& name, const std::string& bytes) {
  std::ofstream(dir / name, std::ios::binary) << bytes;
  return Utf8ToUtf16((dir / name).string());
}

TEST(GetVersionStrings, FormatsMajorMinorAndTheReleaseWithTwoDigits) {
  test::ScratchDir dir;
  const struct {
    uint16_t major, minor, release, build;
    std::u16string version, buildText;
  } cases[] = {
      {1, 5, 3, 7, u"1.5", u"1.5.03"},
      {2, 10, 123, 0, u"2.10", u"2.10.123"},
      {0, 2, 0, 0, u"0.2", u"0.2.00"},
      {65535, 0, 9, 65535, u"65535.0", u"65535.0.09"},
  };
  for (bool is64 : {true, false}) {
    for (bool big : {false, true}) {
      for (const auto& c : cases) {
        const VersionStamp stamp = MakeVersionStamp(c.major, c.minor, c.release, c.build);
        const std::u16string file = WriteFile(dir, "prog", test::ElfBuilder(is64, big).Build(&stamp));
        std::u16string version = u"old", build = u"old";
        ASSERT_TRUE(GetVersionStrings(file, &version, &build)) << is64 << big << c.major;
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(build, c.buildText);
        version.clear();
        EXPECT_TRUE(GetVersionStrings(file, &version, nullptr));  // either output may be absent
        EXPECT_EQ(version, c.version);
      }
    }
  }
}

TEST(GetVersionStrings, FilesWithoutAStampHaveNoVersion) {
  test::ScratchDir dir;
  VersionStamp badMarker = MakeVersionStamp(1, 2, 3, 4);
  badMarker.marker[0] = 'X';
  const VersionStamp stamp = MakeVersionStamp(1, 2, 3, 4);
  const std::string good = test::ElfBuilder(true, false).Build(&stamp);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no section", test::ElfBuilder(true, false).Build(nullptr)},
      {"another section name", test::ElfBuilder(true, false).Build(&stamp, ".bookloom_versions")},
      {"wrong marker", test::ElfBuilder(true, false).Build(&badMarker)},
      {"not ELF", "#!/bin/sh\necho 0.2.0.0\n"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    std::u16string version = u"old", build = u"old";
    EXPECT_FALSE(GetVersionStrings(WriteFile(dir, "prog", c.bytes), &version, &build)) << c.what;
    EXPECT_EQ(version, u"") << c.what;
    EXPECT_EQ(build, u"") << c.what;
  }
  // Every cut of a stamped file short of the last section header's offset and size fields has
  // no version (the header's last 24 bytes are not needed).
  for (size_t length = 0; length < good.size() - 24; ++length)
    EXPECT_FALSE(GetVersionStrings(WriteFile(dir, "cut", good.substr(0, length)), nullptr, nullptr))
        << length;
  EXPECT_FALSE(GetVersionStrings(u"/bin/true", nullptr, nullptr));
  EXPECT_FALSE(GetVersionStrings(Utf8ToUtf16((dir / "none").string()), nullptr, nullptr));
}

TEST(GetVersionStrings, ReadsTheStampOfTheBuiltProgram) {
  std::u16string version, build;
  ASSERT_TRUE(GetVersionStrings(Utf8ToUtf16(BOOKLOOM_CLI), &version, &build));
  EXPECT_EQ(version, u"0.2");
  EXPECT_EQ(build, u"0.2.00");
}

}  // namespace
}  // namespace bookloom
