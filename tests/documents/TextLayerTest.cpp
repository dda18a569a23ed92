// The text layer of a document's pages made into paragraphs, headings, pictures and footnotes.
#include "documents/TextLayer.h"

#include <gtest/gtest.h>

#include "platform/Utf.h"

namespace bookloom {
namespace {

LayerLine Line(const std::string& text, double x0, double y0, double x1, double size = 10, bool bold = false) {
  return {Utf8ToUtf16(text), {x0, y0, x1, y0 + size}, size, bold};
}

LayerPage Page(std::vector<LayerLine> lines, std::vector<PageBox> pictures = {}) {
  return {400, 600, std::move(lines), std::move(pictures)};
}

// The blocks as lines: "#2 Title" for a heading, "[3 at 120]" for a picture of page 3 cut at that height.
std::string Blocks(const LayerText& text) {
  std::string out;
  for (const DocumentBlock& b : text.blocks) {
    if (b.kind == DocumentBlock::Kind::kHeading) out += "#" + std::to_string(b.level) + " " + Utf16ToUtf8(b.text);
    if (b.kind == DocumentBlock::Kind::kParagraph) out += Utf16ToUtf8(b.text);
    if (b.kind == DocumentBlock::Kind::kPicture) {
      const LayerPicture& p = text.pictures.at(b.picture);
      out += "[" + std::to_string(p.page + 1) + " at " + std::to_string(static_cast<int>(p.box.y0)) + "]";
    }
    out += "\n";
  }
  return out;
}

TEST(TextLayer, JoinsWordsIntoLinesAtTheSameHeight) {
  const std::vector<LayerWord> words = {
      {u"Hello", {0, 0, 30, 10}, 10, false, true},   {u"world", {35, 0, 65, 10}, 10, false, false},
      {u"!", {65, 0, 68, 10}, 10, false, true},      {u"Next", {0, 14, 25, 24}, 10, true, true},
      {u"line", {28, 14, 45, 24}, 10, true, true},   {u"Column", {200, 0, 240, 12}, 12, false, true},
  };
  const std::vector<LayerLine> lines = LinesOf(words);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Utf16ToUtf8(lines[0].text), "Hello world!");
  EXPECT_EQ(Utf16ToUtf8(lines[1].text), "Next line");
  EXPECT_TRUE(lines[1].bold);
  EXPECT_FALSE(lines[0].bold);
  EXPECT_EQ(lines[2].fontSize, 12);
  EXPECT_DOUBLE_EQ(lines[0].box.x1, 68);
}

TEST(TextLayer, StartsAParagraphAtAGapAnIndentAShortLineOrAnotherSize) {
  const struct {
    LayerLine second;
    const char* firstText;
    double firstRight;
    const char* blocks;
  } cases[] = {
      {Line("goes on here", 50, 112, 350), "It begins", 350, "It begins goes on here\n"},
      {Line("indented anew", 70, 112, 350), "It begins", 350, "It begins\nindented anew\n"},
      {Line("after a short line", 50, 112, 350), "It ends.", 200, "It ends.\nafter a short line\n"},
      {Line("after a gap", 50, 135, 350), "It begins", 350, "It begins\nafter a gap\n"},
      {Line("slightly larger", 50, 112, 350, 11), "It begins", 350, "It begins\nslightly larger\n"},
      {Line("nation joined", 50, 112, 350), "It is a hyphe-", 350, "It is a hyphenation joined\n"},
      {Line("нибудь", 50, 112, 350), "какой-", 350, "какой-нибудь\n"},
      {Line("\u2022 the next item", 50, 112, 350), "\u2022 An item", 350, "\u2022 An item\n\u2022 the next item\n"},
      {Line("under its text", 62, 112, 350), "\u2022 An item", 350, "\u2022 An item under its text\n"},
  };
  for (const auto& c : cases) {
    const LayerText text = BuildLayerText({Page({Line(c.firstText, 50, 100, c.firstRight), c.second})}, {});
    EXPECT_EQ(Blocks(text), c.blocks) << c.firstText << " / " << Utf16ToUtf8(c.second.text);
  }
}

TEST(TextLayer, GoesOnAcrossColumnsAndPagesUnlessTheLineBeforeEndedShort) {
  const LayerText text = BuildLayerText(
      {Page({Line("One paragraph runs", 50, 100, 190), Line("down the column", 50, 112, 190),
             Line("into the next", 210, 100, 350), Line("and ends here.", 210, 112, 280)}),
       Page({Line("Another begins", 50, 100, 190)})},
      {});
  EXPECT_EQ(Blocks(text), "One paragraph runs down the column into the next and ends here.\nAnother begins\n");
}

TEST(TextLayer, LeavesOutRunningHeadersFootersAndPageNumbers) {
  std::vector<LayerPage> pages;
  for (int p = 1; p <= 3; ++p)
    pages.push_back(Page({Line("Manual, chapter " + std::to_string(p), 50, 20, 200, 8),
                          Line("Body of page " + std::to_string(p) + ", most of the text.", 50, 100, 150),
                          Line(p == 2 ? "xii" : "- " + std::to_string(p) + " -", 190, 570, 210, 8)}));
  // A heading at the top of the page is larger than the text and stays; a header that names the
  // section beside the page's number goes whatever the section.
  pages[2].lines[0] = Line("Chapter 3", 50, 20, 200, 16);
  for (int p = 0; p < 3; ++p) pages.push_back(Page({Line(p == 0 ? "Preface 4" : "Contents " + std::to_string(p + 4), 300, 20, 350, 8), Line("More of the body, most of the text.", 50, 100, 150)}));
  EXPECT_EQ(Blocks(BuildLayerText(pages, {})),
            "Body of page 1, most of the text.\nBody of page 2, most of the text.\n#1 Chapter 3\nChapter 3\n"
            "Body of page 3, most of the text.\nMore of the body, most of the text.\n"
            "More of the body, most of the text.\nMore of the body, most of the text.\n");
}

TEST(TextLayer, FindsHeadingsBySizeAndWeightAndPutsFootnotesAtTheirSectionsEnd) {
  const LayerText text = BuildLayerText(
      {Page({Line("Part One", 50, 60, 200, 18), Line("of the Book", 50, 82, 200, 18), Line("The text.", 50, 120, 150),
             Line("Chapter", 50, 140, 150, 14), Line("Its text1 goes on.", 50, 170, 150),
             Line("1 The note, which", 50, 500, 300, 7), Line("runs on.", 50, 509, 100, 7),
             Line("2 Another note.", 50, 518, 150, 7)}),
       Page({Line("In bold", 50, 100, 100, 10, true), Line("Its text.", 50, 120, 150)})},
      {});
  EXPECT_EQ(Blocks(text),
            "#1 Part One of the Book\nPart One of the Book\nThe text.\n#2 Chapter\nChapter\nIts text1 goes on.\n"
            "[1] The note, which runs on.\n[2] Another note.\n#3 In bold\nIn bold\nIts text.\n");
}

TEST(TextLayer, PutsOutlineEntriesAtTheirHeadingsAndFoundHeadingsWithoutEntries) {
  const std::vector<LayerPage> pages = {Page({Line("Start of the text.", 50, 100, 150),
                                              Line("Chapter One", 50, 300, 200, 16), Line("Its text.", 50, 330, 150),
                                              Line("Unlisted", 50, 400, 200, 16), Line("More.", 50, 430, 150)})};
  const LayerText text = BuildLayerText(pages, {{1, u"1. Chapter One", 0, -1}, {2, u"Placed by height", 0, 420}});
  EXPECT_EQ(Blocks(text),
            "Start of the text.\n#1 1. Chapter One\nChapter One\nIts text.\n#0 Unlisted\nUnlisted\n"
            "#2 Placed by height\nMore.\n");
}

TEST(TextLayer, PlacesPicturesAfterTheParagraphTheyStandIn) {
  const LayerText text = BuildLayerText(
      {Page({Line("A paragraph above", 50, 100, 190), Line("the picture.", 50, 112, 120),
             Line("Next.", 50, 200, 100)},
            {{50, 125, 190, 190}, {0, 0, 400, 600}, {10, 10, 15, 15}}),
       Page({}, {{0, 0, 400, 600}})},
      {});
  // The whole-page picture under text is the page's background; on a page without text it is kept.
  EXPECT_EQ(Blocks(text), "A paragraph above the picture.\n[1 at 125]\nNext.\n[2 at 0]\n");
}

TEST(TextLayer, JudgesDocumentsByTheShareOfPagesWithText) {
  const LayerPage text = Page({Line(std::string(120, 'x'), 50, 100, 350)});
  const LayerPage scan = Page({}, {{0, 0, 400, 600}});
  EXPECT_TRUE(JudgeTextLayer({text, scan}).text);
  EXPECT_FALSE(JudgeTextLayer({text, scan, scan}).text);
  EXPECT_FALSE(JudgeTextLayer({}).text);
  EXPECT_EQ(JudgeTextLayer({text, scan, scan}).reason,
            "kept as pictures of its pages: 1 of 3 pages have a text layer (a scan or a document of drawings)");
}

}  // namespace
}  // namespace bookloom
