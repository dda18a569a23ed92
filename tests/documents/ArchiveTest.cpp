// Archives read within limits: entry names made plain or refused, links resolved inside the archive,
// and the archives no book may be: encrypted, damaged, a zip bomb, an entry larger than allowed.
#include <gtest/gtest.h>

#include "documents/Archive.h"
#include "documents/Document.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

TEST(Archive, EntryNamesAreMadePlainOrRefused) {
  const struct {
    const char* name;
    const char* plain;
  } cases[] = {
      {"a/b.jpg", "a/b.jpg"},
      {"./a//b.jpg", "a/b.jpg"},
      {"a\\b.jpg", "a/b.jpg"},
      {"a/./b", "a/b"},
      {"../b.jpg", ""},
      {"a/../../b", ""},
      {"/etc/passwd", ""},
      {"a/..", ""},
      {"", ""},
      {".", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainEntryName(c.name), c.plain) << c.name;
}

TEST(Archive, LinksAreResolvedInsideTheArchive) {
  const struct {
    const char* from;
    const char* reference;
    const char* entry;
  } cases[] = {
      {"OEBPS/ch1.xhtml", "img/a.png", "OEBPS/img/a.png"},
      {"OEBPS/text/ch1.xhtml", "../img/a%20b.png", "OEBPS/img/a b.png"},
      {"OEBPS/ch1.xhtml", "ch2.xhtml#part", "OEBPS/ch2.xhtml"},
      {"ch1.xhtml", "./x.png?v=1", "x.png"},
      {"OEBPS/ch1.xhtml", "/root.png", "root.png"},
      {"OEBPS/ch1.xhtml", "../../x.png", ""},
      {"OEBPS/ch1.xhtml", "#only", ""},
      {"OEBPS/ch1.xhtml", "100%.png", "OEBPS/100%.png"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveEntryName(c.from, c.reference), c.entry) << c.reference;
}

// Every kind of archive books come in, read entry by entry: folders are passed over.
TEST(Archive, ReadsEveryKindOfArchive) {
  const std::vector<std::pair<std::string, std::string>> entries = {{"a.txt", "alpha"},
                                                                    {"dir/b.txt", "beta"}};
  for (const auto kind : {test::ArchiveKind::kZip, test::ArchiveKind::kSevenZip, test::ArchiveKind::kTar,
                          test::ArchiveKind::kTarGzip}) {
    const std::string bytes = test::ArchiveOf(entries, kind);
    ArchiveReader reader(TestRuntime(), std::string_view(bytes), u"test");
    std::vector<std::pair<std::string, std::string>> read;
    while (reader.Next()) read.push_back({reader.Name(), reader.Read()});
    EXPECT_EQ(read, entries) << static_cast<int>(kind);
  }
}

std::string Refusal(const std::string& bytes, const ArchiveLimits& limits = kArchiveLimits) {
  try {
    ArchiveReader reader(TestRuntime(), std::string_view(bytes), u"bad.zip", limits);
    while (reader.Next()) reader.Read();
  } catch (const DocumentError& e) {
    return e.Reason();
  }
  return "read";
}

TEST(Archive, RefusesWhatNoBookMayBe) {
  const std::string zeros(20 << 20, '\0');  // compresses a thousand times
  ArchiveLimits small = kArchiveLimits;
  small.maxEntryBytes = 1000;
  ArchiveLimits fewEntries = kArchiveLimits;
  fewEntries.maxEntries = 2;
  ArchiveLimits smallTotal = kArchiveLimits;
  smallTotal.maxTotalBytes = 1500;
  const std::string two = test::ArchiveOf({{"a", std::string(800, 'a')}, {"b", std::string(800, 'b')}});
  const struct {
    const char* name;
    std::string reason;
    std::string expected;
  } cases[] = {
      {"zip bomb", Refusal(test::ArchiveOf({{"zeros.bin", zeros}})),
       "entry \"zeros.bin\": its content is more than 200 times larger than the archive (a zip bomb)"},
      {"large entry", Refusal(test::ArchiveOf({{"big", std::string(2000, 'x')}}), small),
       "entry \"big\": it claims 2000 bytes, more than the limit of 1000 bytes"},
      {"many entries", Refusal(test::ArchiveOf({{"a", "1"}, {"b", "2"}, {"c", "3"}}), fewEntries),
       "more than 2 entries"},
      {"large total", Refusal(two, smallTotal),
       "entry \"b\": the archive's content is larger than the limit"},
      {"climbs out", Refusal(test::ArchiveOf({{"../../evil.jpg", "x"}})),
       "entry \"../../evil.jpg\": a name that leads out of the archive"},
      {"encrypted", Refusal(test::ArchiveOf({{"secret.jpg", "data"}}, test::ArchiveKind::kZip, "password")),
       "entry \"secret.jpg\": encrypted (protected by a password)"},
      {"not an archive", Refusal("just some text that is no archive at all"),
       "not an archive of a known kind"},
  };
  for (const auto& c : cases)
    EXPECT_NE(c.reason.find(c.expected), std::string::npos) << c.name << ": " << c.reason;
  // An entry that claims four gigabytes is read as what it holds, or refused: never believed.
  const std::string content(3000, 'c');
  std::string lying = test::ArchiveOf({{"lies.txt", content}});
  for (const std::string_view header : {"PK\x03\x04", "PK\x01\x02"}) {
    const size_t sizeField = header[2] == 3 ? 22 : 24;
    for (size_t at = lying.find(header); at != std::string::npos; at = lying.find(header, at + 4))
      lying.replace(at + sizeField, 4, "\xFE\xFF\xFF\xFF");
  }
  try {
    ArchiveReader reader(TestRuntime(), std::string_view(lying), u"lying.zip");
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.Read(), content);
  } catch (const DocumentError& e) {
    EXPECT_NE(e.Reason().find("lies.txt"), std::string::npos) << e.Reason();
  }
  // A damaged entry, and an archive cut short, each fail as damaged rather than read.
  std::string text;
  for (int i = 0; text.size() < 20000; ++i) text += std::to_string(i * 7919 % 10007) + " ";
  std::string damaged = test::ArchiveOf({{"text.txt", text}});
  damaged[damaged.size() / 3] ^= 0x55;
  EXPECT_NE(Refusal(damaged), "read");
  EXPECT_NE(Refusal(two.substr(0, two.size() / 2)), "read");
}

}  // namespace
}  // namespace bookloom
