// Kindle books made by calibre (tests/documents/files), old MOBI and KF8 alike: the three chapters as
// contents, the picture, the description and the cover; and damaged and DRM-protected books.
#include <gtest/gtest.h>

#include <filesystem>

#include "documents/DocumentOutline.h"
#include "documents/MobiReader.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

const std::filesystem::path kFiles = BOOKLOOM_TEST_FILES;

std::string Headings(const Document& document) {
  std::string lines;
  for (const DocumentBlock& b : document.blocks)
    if (b.kind == DocumentBlock::Kind::kHeading && b.level > 0) lines += Utf16ToUtf8(b.text) + "\n";
  return lines;
}

TEST(MobiReader, ReadsTheChaptersPictureAndDescriptionOfMobiAndAzw3) {
  for (const char* name : {"book.mobi", "book.azw3"}) {
    SCOPED_TRACE(name);
    const Document document = ReadMobi(TestRuntime(), (kFiles / name).u16string());
    EXPECT_EQ(Utf16ToUtf8(document.info.title), "Three Chapters");
    EXPECT_EQ(Utf16ToUtf8(document.info.author), "Ann Author");
    EXPECT_EQ(Headings(document), "Chapter One\nChapter Two\nChapter Three\n");
    const std::string outline = test::OutlineOf(document);
    // The text in order, the picture in its chapter, the note's words.
    const size_t first = outline.find("The first chapter begins here."), apples = outline.find("apples"),
                 picture = outline.find("[resource"), third = outline.find("The third chapter ends");
    EXPECT_LT(first, apples);
    EXPECT_LT(apples, picture);
    EXPECT_LT(picture, third);
    EXPECT_NE(third, std::string::npos) << outline;
    EXPECT_NE(outline.find("The note of chapter one."), std::string::npos);
    ASSERT_TRUE(document.cover.has_value());
    EXPECT_EQ(document.pictures->Decode(*document.cover)->Width(), 40);
  }
}

TEST(MobiReader, RefusesDamagedAndProtectedBooks) {
  const std::string book = test::ReadBytes(kFiles / "book.mobi");
  std::string protectedBook = book;
  // The first record's encryption type, after the record list of the database header.
  const size_t record0 = static_cast<uint8_t>(book[78]) << 24 | static_cast<uint8_t>(book[79]) << 16 |
                         static_cast<uint8_t>(book[80]) << 8 | static_cast<uint8_t>(book[81]);
  protectedBook[record0 + 13] = 2;
  // The second record said to start 4 GB on, which libmobi would allocate.
  std::string farRecord = book;
  farRecord.replace(86, 4, "\xFF\xFF\xFF\x00", 4);
  // An index that claims 373 million entries, for which libmobi would make room.
  std::string hugeIndex = book;
  const size_t index = book.find("INDX");
  ASSERT_NE(index, std::string::npos);
  hugeIndex.replace(index + 36, 4, "\x16\x49\x2B\x05", 4);
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"DRM", protectedBook, "the book is protected by DRM"},
      {"not a book", "BOOKMOBI but nothing else", "not a MOBI book, or a damaged one"},
      {"cut short", book.substr(0, 200), "its records lie outside the file"},
      {"record beyond the end", farRecord, "its records lie outside the file"},
      {"index of more entries than bytes", hugeIndex, "its indexes claim more entries than it holds"},
  };
  for (const auto& c : cases) {
    const test::ScratchDir dir;
    test::WriteBytes(dir / "a.mobi", c.bytes);
    const std::string refusal =
        test::RefusalOf([&] { ReadMobi(TestRuntime(), (dir / "a.mobi").u16string()); });
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << c.name << ": " << refusal;
  }
}

}  // namespace
}  // namespace bookloom
