#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/Utf.h"
#include "project/uVersion.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

// A small ELF file with a string table and, when `stamp` is given, the version section.
class ElfBuilder {
 public:
  ElfBuilder(bool is64, bool bigEndian) : is64_(is64), big_(bigEndian) {}

  std::string Build(const VersionStamp* stamp, const char* sectionName = kVersionSectionName) const {
    const std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
    const size_t headerSize = is64_ ? 64 : 52, entrySize = is64_ ? 64 : 40;
    std::string file(headerSize, '\0');
    const size_t namesAt = file.size();
    file += names;
    const size_t stampAt = file.size();
    if (stamp) file.append(reinterpret_cast<const char*>(stamp), sizeof *stamp);
    const size_t shoff = file.size();
    const int count = stamp ? 3 : 2;
    file.append(entrySize * count, '\0');

    std::memcpy(file.data(),
                "\x7F"
                "ELF",
                4);
    file[4] = is64_ ? 2 : 1;
    file[5] = big_ ? 2 : 1;
    file[6] = 1;
    Put(file, is64_ ? 0x28 : 0x20, is64_ ? 8 : 4, shoff);
    Put(file, is64_ ? 0x3A : 0x2E, 2, entrySize);
    Put(file, is64_ ? 0x3C : 0x30, 2, count);
    Put(file, is64_ ? 0x3E : 0x32, 2, 1);
    Section(file, shoff + entrySize, 1, 3, namesAt, names.size());
    if (stamp) Section(file, shoff + 2 * entrySize, 11, 1, stampAt, sizeof *stamp);
    return file;
  }

 private:
  void Put(std::string& f, size_t at, int size, uint64_t v) const {
    for (int i = 0; i < size; ++i) f[at + (big_ ? size - 1 - i : i)] = static_cast<char>(v >> (8 * i) & 0xFF);
  }
  void Section(std::string& f, size_t at, uint32_t name, uint32_t type, uint64_t offset,
               uint64_t size) const {
    Put(f, at, 4, name);
    Put(f, at + 4, 4, type);
    Put(f, at + (is64_ ? 0x18 : 0x10), is64_ ? 8 : 4, offset);
    Put(f, at + (is64_ ? 0x20 : 0x14), is64_ ? 8 : 4, size);
  }

  bool is64_, big_;
};

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
        const std::u16string file = WriteFile(dir, "prog", ElfBuilder(is64, big).Build(&stamp));
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
  const std::string good = ElfBuilder(true, false).Build(&stamp);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no section", ElfBuilder(true, false).Build(nullptr)},
      {"another section name", ElfBuilder(true, false).Build(&stamp, ".bookloom_versions")},
      {"wrong marker", ElfBuilder(true, false).Build(&badMarker)},
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
