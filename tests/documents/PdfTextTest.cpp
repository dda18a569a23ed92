// A born-digital PDF read as its text: two columns read one after the other, lines joined into
// paragraphs across columns and pages, the running header and page numbers left out, headings and the
// outline's entries at their places, pictures where they stand and footnotes at the end of their section.
#include <gtest/gtest.h>

#include "documents/DocumentOutline.h"
#include "documents/PdfReader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"
#include "support/TextPdf.h"

namespace bookloom {
namespace {

using Kind = test::TextPdfBlock::Kind;

const char kFirst[] =
    "The first paragraph begins here and runs over several lines of the left column, long enough to "
    "reach the foot of the column and to go on at the top of the right one, where it ends after a "
    "few more words that a reader of the book should find in one piece without a break inside.";
const char kSecond[] =
    "A second paragraph follows with its first line indented and a word that is broken at the end of "
    "its line: hyphen|ation joins again, while a compound such as какой-нибудь keeps its hyphen.";
const char kThird[] =
    "Further on the text continues on the next page, in its left column, under a heading of its own "
    "and with a picture in the column beside it.";
const char kFourth[] = "The last paragraph stands below a smaller heading and ends the document here.";

std::vector<test::TextPdfBlock> Manual() {
  // Enough paragraphs to fill the first page's columns and go on to the next page.
  std::vector<test::TextPdfBlock> blocks = {{Kind::kHeading, "Getting Started"}};
  for (int i = 0; i < 3; ++i) blocks.push_back({Kind::kParagraph, kFirst});
  blocks.push_back({Kind::kParagraph, kSecond});
  blocks.push_back({Kind::kFootnote, "1 A note at the foot of the page."});
  for (int i = 0; i < 4; ++i) blocks.push_back({Kind::kParagraph, kFirst});
  blocks.push_back({Kind::kHeading, "Going Further"});
  blocks.push_back({Kind::kParagraph, kThird});
  blocks.push_back({Kind::kPicture, ""});
  blocks.push_back({Kind::kHeading, "A Closer Look", 2});
  blocks.push_back({Kind::kParagraph, kFourth});
  return blocks;
}

std::string Expected(const std::string& first, const std::string& further, const std::string& closer) {
  const std::string p1 = std::string(kFirst) + "\n";
  std::string second = kSecond;
  second.replace(second.find("hyphen|ation"), 12, "hyphenation");
  return first + "Getting Started\n" + p1 + p1 + p1 + second + "\n" + p1 + p1 + p1 + p1 +
         "[1] A note at the foot of the page.\n" + further + "Going Further\n" + kThird + "\n" + closer +
         "A Closer Look\n" + kFourth + "\n";
}

Document ReadText(const test::ScratchDir& dir, bool outline) {
  test::WriteBytes(dir / "manual.pdf", test::TextPdf(Manual(), "Bookloom Test Manual", outline));
  return ReadPdf(TestRuntime(), (dir / "manual.pdf").u16string(), DocumentMode::kText);
}

TEST(PdfText, ReadsParagraphsHeadingsAndFootnotesWithoutRunningLines) {
  const test::ScratchDir dir;
  const Document document = ReadText(dir, false);
  const std::string text = test::OutlineOf(document);
  // The picture stands after the paragraph beside it; its name says where it was cut from.
  const size_t picture = text.find("[page 2, picture at ");
  ASSERT_NE(picture, std::string::npos) << text;
  const std::string withoutPicture = text.substr(0, picture) + text.substr(text.find('\n', picture) + 1);
  EXPECT_EQ(withoutPicture, Expected("#1 Getting Started\n", "#1 Going Further\n", "#2 A Closer Look\n"));
  EXPECT_LT(text.find(kThird), picture);
  EXPECT_LT(picture, text.find("A Closer Look"));
}

TEST(PdfText, PutsTheOutlinesEntriesAtTheirHeadings) {
  const test::ScratchDir dir;
  const Document document = ReadText(dir, true);
  std::string text = test::OutlineOf(document);
  const size_t picture = text.find("[page 2, picture at ");
  ASSERT_NE(picture, std::string::npos) << text;
  text.erase(picture, text.find('\n', picture) + 1 - picture);
  EXPECT_EQ(text, Expected("#1 Getting Started\n", "#1 Going Further\n", "#2 A Closer Look\n"));
}

TEST(PdfText, CutsThePicturesFromTheirPages) {
  const test::ScratchDir dir;
  const Document document = ReadText(dir, false);
  size_t pictures = 0;
  for (const DocumentBlock& block : document.blocks) {
    if (block.kind != DocumentBlock::Kind::kPicture) continue;
    ++pictures;
    const auto graphic = document.pictures->Decode(block.picture);
    // The grey picture, a column (160 points) wide, is rendered at 150 pixels an inch.
    EXPECT_NEAR(graphic->Width(), 333, 2);
    EXPECT_NEAR(graphic->Row(graphic->Height() / 2)[graphic->Width() / 2], 128, 8);
  }
  EXPECT_EQ(pictures, 1u);
  ASSERT_TRUE(document.cover);
  EXPECT_EQ(Utf16ToUtf8(document.pictures->Name(*document.cover)), "page 1");
}

TEST(PdfText, AutoReadsTextLayersAndKeepsScansAsPages) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "manual.pdf", test::TextPdf(Manual(), "Header", false));
  test::WriteBytes(dir / "scan.pdf", test::PdfOf({{300, 400, 0.5}, {300, 400, 0.5}}));
  const Document manual = ReadPdf(TestRuntime(), (dir / "manual.pdf").u16string(), DocumentMode::kAuto);
  const Document scan = ReadPdf(TestRuntime(), (dir / "scan.pdf").u16string(), DocumentMode::kAuto);
  EXPECT_NE(test::OutlineOf(manual).find("Getting Started"), std::string::npos);
  EXPECT_EQ(test::OutlineOf(scan), "[page 1]\n[page 2]\n");
  ASSERT_EQ(manual.notes.size(), 1u);
  ASSERT_EQ(scan.notes.size(), 2u);
  EXPECT_EQ(manual.notes[0], "read as text: 2 of 2 pages have a text layer");
  EXPECT_EQ(
      scan.notes[0],
      "kept as pictures of its pages: 0 of 2 pages have a text layer (a scan or a document of drawings)");
  // Pages that one picture covers are scans, to be cleaned.
  EXPECT_EQ(scan.notes[1], "its pages are scans: cleaned and straightened");
  EXPECT_TRUE(scan.scanned);
  EXPECT_FALSE(manual.scanned);
}

}  // namespace
}  // namespace bookloom
