#include <gtest/gtest.h>

#include "pictures/PageFitting.h"
#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"
#include "platform/Bitmap.h"
#include "support/TestRuntime.h"
#include "support/TestScans.h"

namespace bookloom {
namespace {

// A page of 1200 x 1600 pixels is fitted at half its size, so that its blank paper keeps its place.
GrayImage Fitted(const GrayView& page) {
  Bitmap fitted;
  FitPictureToPage(page, fitted);
  return GrayOf(fitted);
}

PictureBox Halved(const PictureBox& b) { return {b.x / 2, b.y / 2, b.width / 2, b.height / 2}; }

TEST(CleanScan, StraightensTheTurnAndLeavesTheBlankPaperWhiteOnTheFittedPage) {
  for (const double turn : {0.0, 1.0, -2.5}) {
    const test::TestScan scan =
        test::MakeTestScan({.width = 1200, .height = 1600, .turnDegrees = turn, .grain = 12, .seed = 3});
    // Without cleaning the grain comes out as grey dots.
    EXPECT_GT(test::NonWhiteShare(Fitted(scan.page.View()).View(), Halved(scan.blank)), 0.02) << turn;
    const CleanedScan cleaned = CleanScan(TestRuntime(), scan.page.View());
    EXPECT_NEAR(cleaned.skewDegrees, turn, 0.15) << turn;
    EXPECT_EQ(test::NonWhiteShare(cleaned.page.View(), scan.blank), 0) << turn;
    EXPECT_LE(test::NonWhiteShare(Fitted(cleaned.page.View()).View(), Halved(scan.blank)), 0.002) << turn;
  }
}

TEST(CleanScan, MakesThePrintBlackAndKeepsAPictureItsGreys) {
  const test::TestScan scan =
      test::MakeTestScan({.width = 1200, .height = 1600, .picture = true, .grain = 8});
  const CleanedScan cleaned = CleanScan(TestRuntime(), scan.page.View());
  ASSERT_EQ(cleaned.pictures.size(), 1u);
  const PictureBox& p = cleaned.pictures[0];
  EXPECT_NEAR(p.x, scan.picture.x, 3);
  EXPECT_NEAR(p.width, scan.picture.width, 6);
  // The picture's middle grey stays grey; the core of a word's letters is black.
  const int middle = cleaned.page.Row(p.y + p.height / 2)[p.x + p.width / 2];
  EXPECT_GT(middle, 40);
  EXPECT_LT(middle, 200);
  int darkest = 255;
  const PictureBox& w = scan.words[0];
  for (int y = w.y; y < w.y + w.height; ++y)
    for (int x = w.x; x < w.x + w.width; ++x) darkest = std::min<int>(darkest, cleaned.page.Row(y)[x]);
  EXPECT_EQ(darkest, 0);
}

// A photograph whose greys run from dark to nearly the paper's keeps them all to its edges, on the cleaned
// page and as reflow's figure; the paper beside it is still made white.
TEST(CleanScan, KeepsAPhotographsLightGreysToItsEdges) {
  const test::TestScan scan = test::MakeTestScan(
      {.width = 1200, .height = 1600, .picture = true, .pictureLightest = 0.8, .grain = 8});
  const PictureBox& s = scan.picture;
  const CleanedScan cleaned = CleanScan(TestRuntime(), scan.page.View());
  const ScanLayout layout = SegmentScan(TestRuntime(), cleaned.page.View());
  std::vector<PictureBox> found = cleaned.pictures;
  for (const ScanLine& line : layout.lines)
    if (line.figure) found.push_back(line.box);
  ASSERT_EQ(found.size(), 2u);
  for (const PictureBox& p : found) {
    EXPECT_NEAR(p.x, s.x, 3);
    EXPECT_NEAR(p.y, s.y, 3);
    EXPECT_NEAR(p.x + p.width, s.x + s.width, 3);
    EXPECT_NEAR(p.y + p.height, s.y + s.height, 3);
  }
  // The lightest corner keeps its grey.
  const int corner = 20;
  EXPECT_EQ(test::NonWhiteShare(cleaned.page.View(),
                                {s.x + s.width - corner - 3, s.y + s.height - corner - 3, corner, corner}),
            1.0);
  EXPECT_EQ(test::NonWhiteShare(cleaned.page.View(), scan.blank), 0);
}

TEST(ScanLevelsOf, BlankPaperKeepsItsDarkerGreys) {
  GrayImage blank(100, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) blank.Row(y)[x] = static_cast<uint8_t>(200 + (x * 7 + y * 3) % 11);
  const ScanLevels levels = ScanLevelsOf(TestRuntime(), blank.View());
  EXPECT_EQ(levels.print, 0);
  EXPECT_LE(levels.paper, 200);
}

}  // namespace
}  // namespace bookloom
