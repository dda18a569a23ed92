// The pages a picture becomes with the book's picture settings: spreads split in reading order,
// pictures turned the way the options say, borders cropped, greys adjusted.
#include <gtest/gtest.h>

#include <vector>

#include "pictures/PictureSettings.h"
#include "pictures/TestPictures.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

using test::Box;
using test::NonWhiteBox;

// A grey picture of one grey with a block of another.
GrayImage Picture(int width, int height, uint8_t grey, const Box& block = {}, uint8_t blockGrey = 0) {
  GrayImage picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inside =
          x >= block.x && x < block.x + block.width && y >= block.y && y < block.y + block.height;
      picture.Row(y)[x] = inside ? blockGrey : grey;
    }
  return picture;
}

// The pages, their greys kept as they are.
std::vector<Bitmap> Pages(const GrayImage& picture, PictureSettings settings) {
  settings.colors = PageColors::kKeep;
  std::vector<Bitmap> pages;
  MakePages(TestRuntime(), picture.View(), settings, {},
            [&](Bitmap& page) { pages.push_back(std::move(page)); });
  return pages;
}

TEST(MakePages, SplitsASpreadIntoItsHalvesInReadingOrder) {
  // A spread of 1200 x 500: the left page dark, the right page light.
  GrayImage spread(1200, 500);
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 1200; ++x) spread.Row(y)[x] = x < 600 ? 40 : 200;
  const struct {
    Split split;
    std::vector<uint8_t> greys;  // of each page's middle
  } cases[] = {{Split::kLeftToRight, {40, 200}}, {Split::kRightToLeft, {200, 40}}, {Split::kNone, {40}}};
  for (const auto& c : cases) {
    const std::vector<Bitmap> pages = Pages(spread, {.split = c.split});
    ASSERT_EQ(pages.size(), c.greys.size()) << static_cast<int>(c.split);
    for (size_t i = 0; i < pages.size(); ++i) {
      // Each half, 600 x 500, fills the page's width at its own size; the whole spread is shrunk.
      EXPECT_EQ(pages[i].Pixel(150, 400).r, c.greys[i]) << static_cast<int>(c.split) << " page " << i;
      if (c.split != Split::kNone) EXPECT_EQ(NonWhiteBox(pages[i]), (Box{0, 150, 600, 500}));
    }
  }
  // Not wider than 1.2 times its height: one page.
  EXPECT_EQ(Pages(Picture(1200, 1001, 40), {.split = Split::kLeftToRight}).size(), 1u);
  EXPECT_EQ(Pages(Picture(1200, 999, 40), {.split = Split::kLeftToRight}).size(), 2u);
}

TEST(MakePages, TurnsPicturesTheWayTheOptionsSay) {
  // A landscape picture of 300 x 200 with a dark block in its top-left corner.
  const GrayImage landscape = Picture(300, 200, 200, {0, 0, 10, 10}, 0);
  const struct {
    Rotation rotation;
    Box picture, block;  // where the picture and its corner block land on the page
  } cases[] = {
      {Rotation::kNone, {150, 300, 300, 200}, {150, 300, 10, 10}},
      {Rotation::kAuto, {200, 250, 200, 300}, {390, 250, 10, 10}},   // clockwise: the top to the right
      {Rotation::kRight, {200, 250, 200, 300}, {390, 250, 10, 10}},  // the same
      {Rotation::kLeft, {200, 250, 200, 300}, {200, 540, 10, 10}},   // counter-clockwise: the top to the left
  };
  for (const auto& c : cases) {
    const std::vector<Bitmap> pages = Pages(landscape, {.rotation = c.rotation});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(NonWhiteBox(pages[0]), c.picture) << static_cast<int>(c.rotation);
    int dark = 0;
    for (int y = c.block.y; y < c.block.y + c.block.height; ++y)
      for (int x = c.block.x; x < c.block.x + c.block.width; ++x) dark += pages[0].Pixel(x, y).r == 0;
    EXPECT_EQ(dark, 100) << static_cast<int>(c.rotation);
  }
  // Turned, a landscape photograph fills the portrait page; a portrait one is left as it is.
  EXPECT_EQ(NonWhiteBox(Pages(Picture(1600, 1200, 90), {.rotation = Rotation::kAuto})[0]),
            (Box{0, 0, 600, 800}));
  EXPECT_EQ(NonWhiteBox(Pages(Picture(1600, 1200, 90), {})[0]), (Box{0, 175, 600, 450}));
  EXPECT_EQ(NonWhiteBox(Pages(Picture(200, 300, 90), {.rotation = Rotation::kAuto})[0]),
            (Box{200, 250, 200, 300}));
}

// White paper with print on it: greys of 0 to 159 in the boxes, as text and pictures are.
GrayImage PrintedPaper(int width, int height, std::initializer_list<Box> printed) {
  GrayImage paper = Picture(width, height, 255);
  unsigned seed = 1;
  for (const Box& box : printed)
    for (int y = box.y; y < box.y + box.height; ++y)
      for (int x = box.x; x < box.x + box.width; ++x)
        paper.Row(y)[x] = uint8_t((seed = seed * 1103515245 + 12345) >> 16) % 160;
  return paper;
}

// The box of the pixels darker than the middle grey.
Box DarkBox(const Bitmap& page) {
  Bitmap dark = page;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) dark.SetPixel(x, y, page.Pixel(x, y).r < 128 ? kBlack : kWhite);
  return NonWhiteBox(dark);
}

TEST(MakePages, CropsBordersBeforeFittingAndEachHalfOfASpread) {
  // A scan of 1200 x 1600: white paper around the print; cropped, the print fills the page.
  const GrayImage scan = PrintedPaper(1200, 1600, {{150, 200, 900, 1200}});
  EXPECT_EQ(NonWhiteBox(Pages(scan, {.crop = true})[0]), (Box{0, 0, 600, 800}));
  EXPECT_EQ(DarkBox(Pages(scan, {})[0]), (Box{75, 100, 450, 600}));
  // A spread whose pages each have margins: split, each half loses its own borders too.
  const GrayImage spread = PrintedPaper(1400, 1000, {{50, 100, 600, 800}, {750, 100, 600, 800}});
  const std::vector<Bitmap> halves = Pages(spread, {.split = Split::kLeftToRight, .crop = true});
  ASSERT_EQ(halves.size(), 2u);
  for (const Bitmap& half : halves) EXPECT_EQ(NonWhiteBox(half), (Box{0, 0, 600, 800}));
}

TEST(MakePages, AdjustsTheGreysBeforeScaling) {
  // A dull picture of greys 100 to 149 becomes black to white.
  GrayImage dull(50, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) dull.Row(y)[x] = uint8_t(100 + x);
  const Bitmap levelled = Pages(dull, {.autolevel = true})[0];
  EXPECT_EQ(levelled.Pixel(275, 400).r, 0);
  EXPECT_EQ(levelled.Pixel(324, 400).r, 255);
  const Bitmap lighter = Pages(Picture(20, 20, 64), {.gamma = 2.0})[0];
  EXPECT_EQ(lighter.Pixel(300, 400).r, 128);
}

}  // namespace
}  // namespace bookloom
