// bookloom-cli info and extract: what a book holds, for people and as JSON, and its pictures and
// text taken apart into a folder of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "support/CliRun.h"
#include "support/SampleBooks.h"
#include "support/TestData.h"
#include "text/Win1251.h"
#include "wolf/BookFormat.h"
#include "wolf/BookReader.h"
#include "wolf/BookRecords.h"
#include "wolf/BookWriter.h"

namespace bookloom {
namespace {

using test::Contains;
using test::RunCli;

TEST(InfoCommand, PrintsTheBookAndFailsOnADamagedOne) {
  test::ScratchDir dir;
  const std::string book = test::SampleBook();
  test::WriteBytes(dir / "book.wol", book);
  const test::CliRun info = RunCli(dir.Path(), "info book.wol");
  EXPECT_EQ(info.status, 0) << info.errors;
  for (const char* line :
       {"  title: Sample\n", "  publish-time: \n", "  annotation: \n", "Cover: 24 x 32, 1 bit per pixel\n",
        "Body: 4 sections, 45 paragraphs, 2 pictures\n", "    picture at ", ": 13 x 7, 2 bits per pixel",
        "  1.0.0 Chapter \xD0\x9E\xD0\xB4\xD0\xB8\xD0\xBD (body offset 8)\n",
        "    1.1.0 Section 1.1 (body offset 8)\n", "      1.1.1 Subsection 1.1.1 (body offset 8)\n",
        "    1.2.0 Section 1.2", "Table of contents: 8 entries\n",
        "  layout 0 (font 0, 576 pixels, 28 lines): "})
    EXPECT_TRUE(Contains(info.out, line)) << line << "\n" << info.out;
  EXPECT_FALSE(Contains(info.out, "adpter")) << "the file's own field names";
  // The sample's cover is smaller than the screen, as books made elsewhere may have it.
  EXPECT_TRUE(Contains(info.out, "The book is readable, with 1 warning.\n")) << info.out;
  EXPECT_TRUE(Contains(info.errors,
                       "warning: book.wol: the cover is 24 x 32 pixels, not the 600 x 800 of the "
                       "reader's screen"))
      << info.errors;
  test::WriteBytes(dir / "screen.wol", test::WriteBook([](BookWriter&) {},
                                                       [](BookWriter& w) {
                                                         w.WriteCoverPicture(test::MonoPicture(600, 800), 1);
                                                       }));
  const test::CliRun screen = RunCli(dir.Path(), "info screen.wol");
  EXPECT_TRUE(Contains(screen.out, "The book is sound.\n")) << screen.out;
  EXPECT_EQ(screen.errors, "");

  std::string damaged = book;
  damaged[17] = 3;
  test::WriteBytes(dir / "damaged.wol", damaged);
  const test::CliRun bad = RunCli(dir.Path(), "info damaged.wol");
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(Contains(bad.errors, "Offset 17: header field is 515 where it must be 513")) << bad.errors;
  EXPECT_EQ(RunCli(dir.Path(), "info missing.wol").status, 1);
  EXPECT_EQ(RunCli(dir.Path(), "info").status, 2);
}

TEST(InfoCommand, NamesEachDamageWithItsPlaceAndFails) {
  test::ScratchDir dir;
  const std::string good = test::WriteBook([](BookWriter& w) {
    for (int i = 0; i < 20; ++i)
      for (const std::string& p : test::SampleParagraphs()) w.AddParagraph(p);
    w.AddPicture(test::GreyPicture(600, 800), 2);
  });
  const BookReader reader(good);
  const BookContents& book = reader.Book();
  const uint32_t paragraph = book.sections[0].paragraphStarts[30];
  const PictureData& picture = book.sections[1].images[0];
  // The data opens with a flag byte whose bits tell literals (1) from matches (0), then the units: a
  // match's first byte says where it copies from. Changed, it still decodes to rows of the right size.
  const auto flags = static_cast<uint8_t>(good[picture.dataStart]);
  const int literals = std::countr_one(flags);
  ASSERT_LT(literals, 8);
  const uint32_t match = picture.dataStart + 1 + literals;
  // Entry 1 of page list 0: the lists follow the table's 13 positions and its closing tag.
  const size_t secondPage = good.rfind(kPageTableOpen) + kPageTableOpen.size() + kPageTablePositionsSize + 4;
  ASSERT_GT(book.pageLists[0].size(), 1u);
  const struct {
    std::string name;
    size_t at;
    std::string bytes, message;
  } damages[] = {
      {"a bell in the text", paragraph + 1, "\x07",
       "Offset " + std::to_string(paragraph + 1) + ": section 1, paragraph 31: control byte 0x07 in text"},
      {"a zero byte in the text", paragraph, std::string(1, '\0'),
       "Offset " + std::to_string(paragraph) + ": section 1, paragraph 31: control byte 0x00 in text"},
      {"bytes overwritten in the picture", picture.dataStart + 8, "\xFF\xFF\xFF\xFF",
       "section 2, picture 1: picture data"},
      {"a match that copies from elsewhere", match, std::string(1, static_cast<char>(good[match] ^ 1)),
       "section 2, picture 1: picture data differs here"},
      {"a page start moved", secondPage, std::string(1, static_cast<char>(good[secondPage] ^ 1)),
       "page list 0 entry 1 is "},
  };
  for (const auto& d : damages) {
    std::string bad = good;
    bad.replace(d.at, d.bytes.size(), d.bytes);
    ASSERT_NE(bad, good) << d.name;
    test::WriteBytes(dir / "bad.wol", bad);
    const test::CliRun info = RunCli(dir.Path(), "info bad.wol");
    EXPECT_EQ(info.status, 1) << d.name;
    EXPECT_TRUE(Contains(info.errors, d.message)) << d.name << ": " << info.errors;
  }
}

// The JSON document holds what the reader sees: every field, section, picture, entry and count.
TEST(InfoCommand, PrintsTheReadersViewAsJson) {
  test::ScratchDir dir;
  const std::string bytes = test::SampleBook();
  test::WriteBytes(dir / "book.wol", bytes);
  const test::CliRun run = RunCli(dir.Path(), "info --json book.wol");
  ASSERT_EQ(run.status, 0) << run.errors;
  const nlohmann::json json = nlohmann::json::parse(run.out);
  const BookReader reader(bytes);
  const BookContents& book = reader.Book();
  const auto utf8 = [](const std::string& win1251) { return Utf16ToUtf8(Win1251ToWide(win1251)); };

  EXPECT_EQ(json["bytes"], book.fileSize);
  EXPECT_EQ(json["description"]["title"], "Sample");
  EXPECT_EQ(json["description"].size(), 9u);  // the fields a book always writes
  EXPECT_EQ(json["cover"]["width"], book.cover->width);
  EXPECT_EQ(json["cover"]["bits"], book.cover->bitCount);
  EXPECT_EQ(json["warnings"], nlohmann::json(book.warnings));
  EXPECT_EQ(json["warnings"].size(), 1u);  // the cover is not of the screen's size
  ASSERT_EQ(json["sections"].size(), book.sections.size());
  for (size_t i = 0; i < book.sections.size(); ++i) {
    const nlohmann::json& s = json["sections"][i];
    EXPECT_EQ(s["kind"], book.sections[i].pictures ? "pictures" : "text") << i;
    EXPECT_EQ(s["paragraphs"], book.sections[i].paragraphs.size()) << i;
    ASSERT_EQ(s["pictures"].size(), book.sections[i].images.size()) << i;
    for (size_t p = 0; p < book.sections[i].images.size(); ++p)
      EXPECT_EQ(s["pictures"][p]["bytes"], book.sections[i].images[p].dataLength);
  }
  // The table of contents as a tree: every entry once, each under its parent.
  size_t entries = 0;
  const std::function<void(const nlohmann::json&, int)> walk = [&](const nlohmann::json& list, int parent) {
    for (const nlohmann::json& e : list) {
      const auto found = std::find_if(book.toc.begin(), book.toc.end(),
                                      [&](const TocRecord& r) { return utf8(r.title) == e["title"]; });
      ASSERT_NE(found, book.toc.end()) << e["title"];
      EXPECT_EQ(found->parentIndex, parent) << e["title"];
      EXPECT_EQ(e["target"], found->target);
      EXPECT_EQ(e["level"], found->level);
      ++entries;
      walk(e["children"], static_cast<int>(found - book.toc.begin()));
    }
  };
  walk(json["toc"], -1);
  EXPECT_EQ(entries, book.toc.size());
  ASSERT_EQ(json["pages"].size(), 4u);
  for (int layout = 0; layout < 4; ++layout)
    EXPECT_EQ(json["pages"][layout]["pages"], book.pageLists[layout].size()) << layout;
}

uint32_t BigEndian(const std::string& bytes, size_t at) {
  return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
         uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

TEST(ExtractCommand, WritesCoverPicturesAndText) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "book.wol", test::SampleBook());
  const test::CliRun run = RunCli(dir.Path(), "extract book.wol out");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.out, "3 PNG files and 45 paragraphs in text.txt written to out\n");
  const struct {
    const char* name;
    uint32_t width, height;
  } pngs[] = {{"cover.png", 24, 32}, {"picture-0001.png", 13, 7}, {"picture-0002.png", 20, 9}};
  for (const auto& png : pngs) {
    const std::string bytes = test::ReadBytes(dir / "out" / png.name);
    ASSERT_GT(bytes.size(), 24u) << png.name;
    EXPECT_EQ(bytes.substr(1, 3), "PNG") << png.name;
    EXPECT_EQ(BigEndian(bytes, 16), png.width) << png.name;
    EXPECT_EQ(BigEndian(bytes, 20), png.height) << png.name;
  }
  const std::string text = test::ReadBytes(dir / "out" / "text.txt");
  const std::string opening =
      "Chapter one\n\na&b <x> \"quoted\" 'single'\n \xD0\x9C\xD0\xB0\xD0\xBC\xD0\xB0 ";
  EXPECT_EQ(text.substr(0, opening.size()), opening);
  EXPECT_EQ(text.substr(text.size() - 8), "The end\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 45);
}

// A folder that holds files is written into only with --force; a book without text gets no text.txt.
TEST(ExtractCommand, WritesOnlyIntoANewOrEmptyFolderUnlessForced) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "book.wol", test::SampleBook());
  test::WriteBytes(dir / "pictures.wol",
                   test::WriteBook([](BookWriter& w) { w.AddPicture(test::GreyPicture(8, 8), 2); }));
  ASSERT_EQ(RunCli(dir.Path(), "extract book.wol out").status, 0);
  const test::CliRun refused = RunCli(dir.Path(), "extract pictures.wol out");
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.errors, "the folder out is not empty: give --force")) << refused.errors;
  EXPECT_EQ(RunCli(dir.Path(), "extract --force pictures.wol out").status, 0);

  const test::CliRun pictures = RunCli(dir.Path(), "extract pictures.wol pictures");
  ASSERT_EQ(pictures.status, 0) << pictures.errors;
  EXPECT_EQ(pictures.out, "1 PNG file written to pictures\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "pictures" / "text.txt"));
  EXPECT_EQ(RunCli(dir.Path(), "extract book.wol book.wol").status, 1);  // not a folder
}

}  // namespace
}  // namespace bookloom
