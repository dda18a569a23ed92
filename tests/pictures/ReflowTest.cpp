#include <gtest/gtest.h>

#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"
#include "platform/Bitmap.h"
#include "support/TestScans.h"

namespace bookloom {
namespace {

std::vector<PictureBox> WordsOf(const ScanLayout& layout) {
  std::vector<PictureBox> words;
  for (const ScanLine& line : layout.lines) words.insert(words.end(), line.words.begin(), line.words.end());
  return words;
}

bool Inside(const PictureBox& word, const PictureBox& source, int tolerance) {
  const int cx = word.x + word.width / 2, cy = word.y + word.height / 2;
  return cx >= source.x - tolerance && cx <= source.x + source.width + tolerance &&
         cy >= source.y - tolerance && cy <= source.y + source.height + tolerance;
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
    const CleanedScan cleaned = CleanScan(scan.page.View());
    const ScanLayout layout = SegmentScan(cleaned.page.View());
    EXPECT_NEAR(layout.xHeight, 13, 3) << columns;
    const std::vector<PictureBox> words = WordsOf(layout);
    // The running header and the page number are left out.
    ASSERT_EQ(words.size(), scan.words.size()) << columns;
    for (size_t i = 0; i < words.size(); ++i)
      ASSERT_TRUE(Inside(words[i], scan.words[i], 8)) << columns << " columns, word " << i;
    int figures = 0;
    std::vector<size_t> starts;
    size_t word = 0;
    for (const ScanLine& line : layout.lines) {
      figures += line.figure && Inside(line.box, scan.picture, 8);
      if (line.paragraphStart) starts.push_back(word);
      word += line.words.size();
    }
    EXPECT_EQ(figures, 1) << columns;
    EXPECT_EQ(starts, scan.paragraphStarts) << columns;
  }
}

TEST(ReflowPage, SetsEveryWordAgainAtTheHeightAsked) {
  const test::TestScan scan = test::MakeTestScan(
      {.width = 1200, .height = 1600, .columns = 2, .paragraphs = 8, .turnDegrees = 1, .grain = 10});
  const CleanedScan cleaned = CleanScan(scan.page.View());
  const ScanLayout layout = SegmentScan(cleaned.page.View());
  for (const int height : {10, 16}) {
    size_t words = 0;
    int pages = 0;
    const int made = ReflowPage(cleaned.page.View(), layout, {.xHeight = height, .colors = PageColors::kKeep},
                                [&](Bitmap& page) {
                                  EXPECT_EQ(page.Width(), kDevicePageWidth);
                                  EXPECT_EQ(page.Height(), kDevicePageHeight);
                                  const GrayImage grey = GrayOf(page);
                                  const ScanLayout set = SegmentScan(grey.View());
                                  EXPECT_NEAR(set.xHeight, height, 1) << height;
                                  words += WordsOf(set).size();
                                  ++pages;
                                });
    EXPECT_EQ(made, pages);
    EXPECT_GE(pages, height > 10 ? 2 : 1) << height;
    EXPECT_EQ(words, scan.words.size()) << height;
  }
}

TEST(ReflowPage, MakesNoPageOfAPageWithoutText) {
  GrayImage white(300, 400);
  for (int y = 0; y < 400; ++y) std::fill_n(white.Row(y), 300, uint8_t{255});
  const ScanLayout layout = SegmentScan(white.View());
  EXPECT_EQ(layout.xHeight, 0);
  EXPECT_EQ(ReflowPage(white.View(), layout, {}, [](Bitmap&) { FAIL(); }), 0);
}

}  // namespace
}  // namespace bookloom
