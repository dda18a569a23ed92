#include <gtest/gtest.h>

#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"
#include "platform/Bitmap.h"
#include "support/TestRuntime.h"
#include "support/TestScans.h"

namespace bookloom {
namespace {

std::vector<PictureBox> WordsOf(const ScanLayout& layout) {
  std::vector<PictureBox> words;
  for (const ScanLine& line : layout.lines) words.insert(words.end(), line.words.begin(), line.words.end());
  return words;
}

// The source words whose middle lies, in order, inside the words found (one found word may hold two
// source words that touch, as "of" and "morning" do where the f leans over the gap).
size_t FoundInOrder(const std::vector<PictureBox>& found, const std::vector<PictureBox>& source) {
  size_t count = 0, at = 0;
  for (const PictureBox& s : source) {
    const int cx = s.x + s.width / 2, cy = s.y + s.height / 2;
    for (size_t j = at; j < found.size(); ++j) {
      const PictureBox& f = found[j];
      if (cx >= f.x - 4 && cx <= f.x + f.width + 4 && cy >= f.y - 4 && cy <= f.y + f.height + 4) {
        ++count;
        at = j;
        break;
      }
    }
  }
  return count;
}

TEST(SegmentScan, FindsEveryWordInReadingOrderAcrossColumnsAndKeepsThePictureWhole) {
  for (const int columns : {1, 2}) {
    const test::TestScan scan = test::MakeTestScan({.width = 1200,
                                                    .height = 1600,
                                                    .columns = columns,
                                                    .paragraphs = 9,
                                                    .picture = true,
                                                    .turnDegrees = 1,
                                                    .grain = 10});
    const CleanedScan cleaned = CleanScan(TestRuntime(), scan.page.View());
    const ScanLayout layout = SegmentScan(TestRuntime(), cleaned.page.View());
    EXPECT_NEAR(layout.xHeight, 13, 3) << columns;
    const std::vector<PictureBox> words = WordsOf(layout);
    EXPECT_EQ(FoundInOrder(words, scan.words), scan.words.size()) << columns;
    // Few words are found joined; the running header and the page number are left out.
    EXPECT_GE(words.size() * 100, scan.words.size() * 97) << columns;
    EXPECT_LE(words.size(), scan.words.size()) << columns;
    int figures = 0;
    std::vector<PictureBox> starts, sourceStarts;
    for (size_t i : scan.paragraphStarts) sourceStarts.push_back(scan.words[i]);
    for (const ScanLine& line : layout.lines) {
      figures += line.figure && FoundInOrder({line.box}, {scan.picture}) == 1;
      if (line.paragraphStart) starts.push_back(line.words.front());
    }
    EXPECT_EQ(figures, 1) << columns;
    EXPECT_EQ(starts.size(), sourceStarts.size()) << columns;
    EXPECT_EQ(FoundInOrder(starts, sourceStarts), sourceStarts.size()) << columns;
  }
}

TEST(ReflowPage, SetsEveryWordAgainAtTheHeightAsked) {
  const test::TestScan scan = test::MakeTestScan(
      {.width = 1200, .height = 1600, .columns = 2, .paragraphs = 8, .turnDegrees = 1, .grain = 10});
  const CleanedScan cleaned = CleanScan(TestRuntime(), scan.page.View());
  const ScanLayout layout = SegmentScan(TestRuntime(), cleaned.page.View());
  for (const int height : {10, 16}) {
    size_t words = 0;
    int pages = 0;
    const int made = ReflowPage(cleaned.page.View(), layout, {.xHeight = height, .colors = PageColors::kKeep},
                                [&](Bitmap& page) {
                                  EXPECT_EQ(page.Width(), kDevicePageWidth);
                                  EXPECT_EQ(page.Height(), kDevicePageHeight);
                                  const GrayImage grey = GrayOf(page);
                                  const ScanLayout set = SegmentScan(TestRuntime(), grey.View());
                                  EXPECT_NEAR(set.xHeight, height, 1) << height;
                                  words += WordsOf(set).size();
                                  ++pages;
                                });
    EXPECT_EQ(made, pages);
    EXPECT_GE(pages, height > 10 ? 2 : 1) << height;
    EXPECT_GE(words * 100, scan.words.size() * 97) << height;
    EXPECT_LE(words * 100, scan.words.size() * 103) << height;
  }
}

// A hyphen or a dash standing alone between words is a word of its own, small print or large, though
// the space before a dash is narrower than those between words.
TEST(SegmentScan, KeepsALoneHyphenOrDashAsAWordOfItsOwn) {
  const struct { double font, turn, grain; } cases[] = {{18, 1, 14}, {40, 0, 6}};
  for (const auto& c : cases) {
    const test::TestScan scan = test::MakeTestScan({.width = 1200,
                                                    .height = 1600,
                                                    .fontPixels = c.font,
                                                    .turnDegrees = c.turn,
                                                    .grain = c.grain,
                                                    .dashes = true});
    std::vector<PictureBox> dashes;
    for (size_t i = 0; i < scan.words.size(); ++i)
      if (scan.texts[i] == "-" || scan.texts[i] == "\u2014") dashes.push_back(scan.words[i]);
    ASSERT_GE(dashes.size(), 6u);
    const ScanLayout layout =
        SegmentScan(TestRuntime(), CleanScan(TestRuntime(), scan.page.View()).page.View());
    const std::vector<PictureBox> words = WordsOf(layout);
    EXPECT_EQ(FoundInOrder(words, scan.words), scan.words.size()) << c.font;
    // Each dash is found as a word no wider than itself (and a speck of dust beside it).
    for (const PictureBox& d : dashes)
      EXPECT_TRUE(std::any_of(
          words.begin(), words.end(),
          [&](const PictureBox& w) { return FoundInOrder({w}, {d}) == 1 && w.width <= d.width + 6; }))
          << c.font << ": " << d.x << "," << d.y;
  }
}

// A table without rules is kept whole, not cut at its gaps into columns of text; a page of two columns of
// text whose baselines stand in line is not a table.
TEST(SegmentScan, KeepsATableWithoutRulesWhole) {
  const test::TestScan scan =
      test::MakeTestScan({.width = 1200, .height = 1600, .paragraphs = 5, .grain = 8, .tableRows = 6});
  const CleanedScan cleaned = CleanScan(TestRuntime(), scan.page.View());
  const ScanLayout layout = SegmentScan(TestRuntime(), cleaned.page.View());
  std::vector<PictureBox> figures;
  for (const ScanLine& line : layout.lines)
    if (line.figure) figures.push_back(line.box);
  ASSERT_EQ(figures.size(), 1u);
  const PictureBox& f = figures[0];
  const PictureBox& t = scan.table;
  EXPECT_NEAR(f.x, t.x, 3);
  EXPECT_NEAR(f.y, t.y, 6);
  EXPECT_NEAR(f.y + f.height, t.y + t.height, 6);
  EXPECT_GE(f.x + f.width, t.x + t.width * 3 / 4);
  EXPECT_EQ(FoundInOrder(WordsOf(layout), scan.words), scan.words.size());
  // Its letters are set at the size of the words around it.
  const ReflowOptions reflow{.xHeight = 8};
  for (const SetPiece& piece : ScalePage(cleaned.page.View(), layout, reflow).pieces)
    if (piece.figure) EXPECT_NEAR(piece.picture.Width(), f.width * reflow.xHeight / layout.xHeight, 2);
}

// A paragraph that runs on from the foot of one scanned page to the next stays one paragraph, and the
// device pages are filled one after the other: the words found on them again are the words of both
// pages in order (told apart by their widths at the device's size).
TEST(ReflowSetter, WordsFlowFromOneScannedPageIntoTheNext) {
  test::TestScanOptions options{.width = 1200, .height = 1600, .paragraphs = 14, .grain = 6};
  const test::TestScan first = test::MakeTestScan(options);
  options.startWord = first.words.size();
  const test::TestScan second = test::MakeTestScan(options);
  ASSERT_FALSE(second.words.empty());
  ASSERT_NE(second.paragraphStarts.front(), 0u);  // the second page goes on with the paragraph
  const ReflowOptions reflow{.xHeight = 14, .colors = PageColors::kKeep};
  std::vector<GrayImage> pages;
  ReflowSetter setter(reflow, [&](Bitmap& page) { pages.push_back(GrayOf(page)); });
  std::vector<int> sourceWidths;
  size_t paragraphs = 0;
  for (const test::TestScan* scan : {&first, &second}) {
    const CleanedScan cleaned = CleanScan(TestRuntime(), scan->page.View());
    const ScanLayout layout = SegmentScan(TestRuntime(), cleaned.page.View());
    ASSERT_GT(layout.xHeight, 0);
    for (const PictureBox& w : scan->words) sourceWidths.push_back(w.width * reflow.xHeight / layout.xHeight);
    paragraphs += scan->paragraphStarts.size();
    setter.Add(ScalePage(cleaned.page.View(), layout, reflow));
  }
  setter.Finish();
  ASSERT_EQ(setter.Pages(), static_cast<int>(pages.size()));
  ASSERT_GE(pages.size(), 3u);
  const test::SetPages found = test::FindOnSetPages(TestRuntime(), pages);
  // Every page but the last is filled to its foot (within two lines and the margin).
  EXPECT_GE(found.leastFoot, kDevicePageHeight - 6 * reflow.xHeight);
  EXPECT_EQ(found.paragraphs, paragraphs);
  EXPECT_GE(test::WordsInOrder(sourceWidths, found.wordWidths, 3) * 100, sourceWidths.size() * 97);
  EXPECT_LE(found.wordWidths.size() * 100, sourceWidths.size() * 103);
}

TEST(ReflowPage, MakesNoPageOfAPageWithoutText) {
  GrayImage white(300, 400);
  for (int y = 0; y < 400; ++y) std::fill_n(white.Row(y), 300, uint8_t{255});
  const ScanLayout layout = SegmentScan(TestRuntime(), white.View());
  EXPECT_EQ(layout.xHeight, 0);
  EXPECT_EQ(ReflowPage(white.View(), layout, {}, [](Bitmap&) { FAIL(); }), 0);
}

}  // namespace
}  // namespace bookloom
