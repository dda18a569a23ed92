#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "pictures/BorderCrop.h"

namespace bookloom {
namespace {

std::ostream& operator<<(std::ostream& os, const PictureBox& b) {
  return os << "(" << b.x << "," << b.y << " " << b.width << "x" << b.height << ")";
}

// A page of `paper` grey with a block of `ink` at `content`.
GrayImage Page(int width, int height, uint8_t paper, const PictureBox& content, uint8_t ink) {
  GrayImage page(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inside =
          x >= content.x && x < content.x + content.width && y >= content.y && y < content.y + content.height;
      page.Row(y)[x] = inside ? ink : paper;
    }
  return page;
}

TEST(CropBox, FindsTheUniformBorderOfAScanAndStopsAtItsLimit) {
  const struct {
    const char* name;
    uint8_t paper;
    PictureBox content;
    uint8_t ink;
    PictureBox expected;
  } cases[] = {
      {"white paper", 255, {100, 150, 800, 1100}, 0, {100, 150, 800, 1100}},
      {"greyish paper within the tolerance", 236, {100, 150, 800, 1100}, 30, {100, 150, 800, 1100}},
      {"a black scanner bed around light paper", 10, {60, 70, 880, 1260}, 240, {60, 70, 880, 1260}},
      {"a small picture: each side stops at a fifth", 255, {450, 650, 100, 100}, 0, {200, 280, 600, 840}},
      {"content touching the edges: nothing to crop", 255, {0, 0, 1000, 1400}, 90, {0, 0, 1000, 1400}},
      {"a mid-grey frame is picture, not border", 128, {100, 150, 800, 1100}, 0, {0, 0, 1000, 1400}},
      {"content against one edge only", 255, {0, 300, 700, 1100}, 0, {0, 280, 800, 1120}},
  };
  for (const auto& c : cases) {
    const GrayImage page = Page(1000, 1400, c.paper, c.content, c.ink);
    EXPECT_EQ(CropBox(page.View()), c.expected) << c.name;
  }
}

TEST(CropBox, DustOnTheBorderStaysBorderAndALineOfTextDoesNot) {
  GrayImage page = Page(1000, 1400, 250, {100, 150, 800, 1100}, 0);
  // Three specks of dust in row 20: fewer than one pixel in 256 of the row.
  for (int x : {10, 500, 990}) page.Row(20)[x] = 0;
  EXPECT_EQ(CropBox(page.View()), (PictureBox{100, 150, 800, 1100}));
  // A page number: a few dozen dark pixels in row 60 end the top border there.
  std::fill(page.Row(60) + 480, page.Row(60) + 520, 0);
  EXPECT_EQ(CropBox(page.View()), (PictureBox{100, 60, 800, 1190}));
}

TEST(CropBox, LooksAtTheRowsLeftBetweenTopAndBottomForTheSides) {
  // A dark band along the top reaches the sides: it is the top's border (of one grey, so the white
  // below it stays), and the sides, looked at below it, are white.
  GrayImage page = Page(400, 500, 255, {50, 60, 300, 380}, 0);
  for (int y = 0; y < 8; ++y) std::fill(page.Row(y), page.Row(y) + 400, uint8_t{3});
  EXPECT_EQ(CropBox(page.View()), (PictureBox{50, 8, 300, 432}));
}

}  // namespace
}  // namespace bookloom
