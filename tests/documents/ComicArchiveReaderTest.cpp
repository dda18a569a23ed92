// Comic archives: pictures in natural order whatever the order in the archive, the ComicInfo.xml's
// description, and pictures read forward through the archive as they are written.
#include <gtest/gtest.h>

#include "documents/ComicArchiveReader.h"
#include "documents/DocumentOutline.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

const std::string kComicInfo =
    "<?xml version=\"1.0\"?><ComicInfo><Title>The Case</Title><Series>Detective</Series><Number>27</Number>"
    "<Writer>Bill Finger</Writer><Summary>A story.</Summary><Year>1939</Year><Manga>YesAndRightToLeft</Manga>"
    "</ComicInfo>";

TEST(ComicArchiveReader, ReadsPicturesInNaturalOrderWithTheirComicInfo) {
  const test::ScratchDir dir;
  for (const auto kind : {test::ArchiveKind::kZip, test::ArchiveKind::kSevenZip, test::ArchiveKind::kTar}) {
    SCOPED_TRACE(static_cast<int>(kind));
    // Widths tell the pages apart: page N is N pixels wide.
    test::WriteBytes(dir / "comic.cbz", test::ArchiveOf({{"page10.jpg", test::JpegPicture(10, 8, 0)},
                                                         {"notes.txt", "not a page"},
                                                         {"page2.jpg", test::JpegPicture(2, 8, 0)},
                                                         {"__MACOSX/._page1.jpg", "resource fork"},
                                                         {"ComicInfo.xml", kComicInfo},
                                                         {"page1.jpg", test::JpegPicture(1, 8, 0)},
                                                         {"Page 3.JPG", test::JpegPicture(3, 8, 0)}},
                                                        kind));
    Document document = ReadComicArchive(TestRuntime(), (dir / "comic.cbz").u16string());
    EXPECT_EQ(test::OutlineOf(document), "[page1.jpg]\n[page2.jpg]\n[Page 3.JPG]\n[page10.jpg]\n");
    EXPECT_EQ(Utf16ToUtf8(document.info.title), "The Case");
    EXPECT_EQ(Utf16ToUtf8(document.info.subject), "Detective #27");
    EXPECT_EQ(Utf16ToUtf8(document.info.author), "Bill Finger");
    EXPECT_EQ(Utf16ToUtf8(document.info.annotation), "A story.");
    EXPECT_EQ(Utf16ToUtf8(document.info.publishTime), "1939");
    EXPECT_TRUE(document.rightToLeft);
    // The cover first, then every page in order: the archive holds them in another order. Pages
    // read ahead wait in memory, or, when none may wait, are read again by later passes.
    EXPECT_EQ(document.cover, 0u);
    const int widths[] = {1, 2, 3, 10};
    for (const size_t waiting : {kMostWaitingBytes, size_t{0}}) {
      Document read = ReadComicArchiveWithin(TestRuntime(), (dir / "comic.cbz").u16string(), waiting);
      for (const size_t index : {0, 0, 1, 2, 3})
        EXPECT_EQ(read.pictures->Decode(index)->Width(), widths[index]) << waiting;
      // Asked for again, a page is read in a new pass.
      EXPECT_EQ(read.pictures->Decode(1)->Width(), 2);
    }
  }
}

TEST(ComicArchiveReader, RefusesArchivesWithoutPicturesOrWithABadComicInfo) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "text.cbz", test::ArchiveOf({{"a.txt", "x"}}));
  test::WriteBytes(dir / "info.cbz", test::ArchiveOf({{"a.jpg", test::JpegPicture(4, 4, 0)},
                                                      {"ComicInfo.xml", "<ComicInfo>"}}));
  test::WriteBytes(dir / "torn.cbz", test::ArchiveOf({{"a.jpg", test::JpegPicture(4, 4, 0)}}).substr(0, 40));
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {{"text.cbz", "the archive holds no picture"},
               {"info.cbz", "ComicInfo.xml: the XML is not well formed"},
               {"torn.cbz", "the first entry: "}};
  for (const auto& c : cases) {
    try {
      ReadComicArchive(TestRuntime(), (dir / c.file).u16string());
      ADD_FAILURE() << c.file << ": no error";
    } catch (const DocumentError& e) {
      EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << c.file << ": " << e.Reason();
    }
  }
  // A zip of an FB2 book is that book.
  test::WriteBytes(
      dir / "book.zip",
      test::ArchiveOf({{"book.fb2", test::Fb2Book("", "<body><section><p>Text</p></section></body>")}}));
  EXPECT_EQ(test::OutlineOf(ReadComicArchive(TestRuntime(), (dir / "book.zip").u16string())), "#1\nText\n");
  // A page whose data is damaged fails when it is decoded, naming the archive and the page.
  test::WriteBytes(dir / "damaged.cbz", test::ArchiveOf({{"a.jpg", "\xFF\xD8\xFF not a JPEG"}}));
  Document document = ReadComicArchive(TestRuntime(), (dir / "damaged.cbz").u16string());
  try {
    document.pictures->Decode(0);
    ADD_FAILURE() << "no error";
  } catch (const DecodeError& e) {
    EXPECT_NE(std::string(e.what()).find("damaged.cbz: a.jpg"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace bookloom
