// A born-digital PDF read as its text: two columns read one after the other, lines joined into
// paragraphs across columns and pages, the running header and page numbers left out, headings and the
// outline's entries at their places, pictures where they stand and footnotes at the end of their section.
#include <gtest/gtest.h>

#include <algorithm>

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

// A PDF of one 300 x 300 point page for each placement: a line of text at the top and, below it, a
// picture of 8 x 8 grey pixels drawn 100 points wide from 50, 100 (points from the page's top left)
// with that transformation, then what is drawn over it. The picture's top left quarter is black, its
// bottom left one middle grey and its right half white; a `masked` picture's soft mask makes its top
// left quarter clear.
struct PicturePage {
  std::string placement, over;
};
std::string PicturePdf(const std::vector<PicturePage>& placements, bool masked = false) {
  std::string pixels;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pixels += static_cast<char>(x >= 4 ? 255 : y < 4 ? 0 : 128);
  const size_t pages = placements.size();
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
  std::string kids;
  for (size_t i = 0; i < pages; ++i) {
    const size_t page = 3 + 2 * i;
    kids += std::to_string(page) + " 0 R ";
    objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents " +
                      std::to_string(page + 1) + " 0 R /Resources << /Font << /F1 " +
                      std::to_string(3 + 2 * pages) + " 0 R >> /XObject << /Im " +
                      std::to_string(4 + 2 * pages) + " 0 R >> >> >>");
    const std::string content = "BT /F1 10 Tf 50 270 Td (A line of text above the picture.) Tj ET q " +
                                placements[i].placement + " cm /Im Do Q " + placements[i].over;
    objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                      "\nendstream");
  }
  objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>";
  objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  const std::string maskRef = masked ? "/SMask " + std::to_string(5 + 2 * pages) + " 0 R " : "";
  objects.push_back(
      "<< /Type /XObject /Subtype /Image /Width 8 /Height 8 /ColorSpace /DeviceGray "
      "/BitsPerComponent 8 " +
      maskRef + "/Length 64 >>\nstream\n" + pixels + "\nendstream");
  if (masked) {
    std::string alpha;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) alpha += static_cast<char>(x < 4 && y < 4 ? 0 : 255);
    objects.push_back(
        "<< /Type /XObject /Subtype /Image /Width 8 /Height 8 /ColorSpace /DeviceGray "
        "/BitsPerComponent 8 /Length 64 >>\nstream\n" +
        alpha + "\nendstream");
  }
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    const std::string number = std::to_string(offset);
    pdf += std::string(10 - number.size(), '0') + number + " 00000 n \n";
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

TEST(PdfText, PicturesShowAsTheirPageShowsThemUprightOrMirrored) {
  // The transformation, what is drawn over the picture, where the picture's black quarter then stands
  // (its column and row) and whether the white quarter at the top is.
  const struct {
    const char* placement;
    const char* over;
    int column, row;
    bool topWhite;
  } cases[] = {
      {"100 0 0 100 50 100", "", 0, 0, true},     // upright
      {"100 0 0 -100 50 200", "", 0, 1, true},    // upside down
      {"-100 0 0 100 150 100", "", 1, 0, true},   // mirrored
      {"-100 0 0 -100 150 200", "", 1, 1, true},  // turned half round
      // A black square or a word over the top right quarter stays on the picture.
      {"100 0 0 100 50 100", "0 g 105 155 40 40 re f", 0, 0, false},
      {"100 0 0 100 50 100", "BT /F1 30 Tf 105 165 Td (WW) Tj ET", 0, 0, false},
  };
  std::vector<PicturePage> placements;
  for (const auto& c : cases) placements.push_back({c.placement, c.over});
  const test::ScratchDir dir;
  test::WriteBytes(dir / "pictures.pdf", PicturePdf(placements));
  const Document document = ReadPdf(TestRuntime(), (dir / "pictures.pdf").u16string(), DocumentMode::kText);
  std::vector<size_t> pictures;
  for (const DocumentBlock& block : document.blocks)
    if (block.kind == DocumentBlock::Kind::kPicture) pictures.push_back(block.picture);
  ASSERT_EQ(pictures.size(), std::size(cases));
  for (size_t i = 0; i < pictures.size(); ++i) {
    const auto graphic = document.pictures->Decode(pictures[i]);
    // 100 points at 150 pixels an inch.
    ASSERT_NEAR(graphic->Width(), 208, 2) << cases[i].placement;
    const int w = graphic->Width(), h = graphic->Height();
    const auto quarter = [&](int column, int row) {
      return graphic->Row(h / 4 + row * h / 2)[w / 4 + column * w / 2];
    };
    EXPECT_LT(quarter(cases[i].column, cases[i].row), 48) << cases[i].placement;
    EXPECT_NEAR(quarter(cases[i].column, 1 - cases[i].row), 128, 24) << cases[i].placement;
    // The darkest pixel within the white quarter at the top, away from its edges.
    uint8_t darkest = 255;
    for (int y = h / 8; y < 3 * h / 8; ++y)
      for (int x = w / 8; x < 3 * w / 8; ++x)
        darkest = std::min(darkest, graphic->Row(y)[x + (1 - cases[i].column) * w / 2]);
    EXPECT_TRUE(cases[i].topWhite ? darkest > 208 : darkest < 48)
        << cases[i].placement << " " << cases[i].over;
  }
}

TEST(PdfText, APictureWithASoftMaskShowsWhatItMasksWhite) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "masked.pdf", PicturePdf({{"100 0 0 100 50 100", ""}}, true));
  const Document document = ReadPdf(TestRuntime(), (dir / "masked.pdf").u16string(), DocumentMode::kText);
  ASSERT_EQ(document.pictures->Count(), 2u);  // the picture and the cover
  const auto graphic = document.pictures->Decode(0);
  const int w = graphic->Width(), h = graphic->Height();
  EXPECT_GT(graphic->Row(h / 4)[w / 4], 208);  // the clear quarter, black beneath
  EXPECT_NEAR(graphic->Row(3 * h / 4)[w / 4], 128, 24);
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
