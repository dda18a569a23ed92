#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "pictures/TextFigures.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

// Three lines of text near the top of the page and one near its foot, in their boxes as the hidden text
// names them.
const std::vector<PictureBox> kText = {
    {40, 50, 220, 6}, {40, 60, 220, 6}, {40, 70, 220, 6}, {40, 300, 220, 6}};

void Line(GrayImage& page, int x0, int y0, int x1, int y1, uint8_t grey) {
  for (int y = y0; y < y1; ++y) std::fill_n(page.Row(y) + x0, x1 - x0, grey);
}

// A page rendered coarsely, 300 x 400 pixels, white but for its text and what `draw` puts on it. The
// letters fill their lines' boxes, and their ends blur a pixel beyond them.
GrayImage CoarsePage(const std::function<void(GrayImage&)>& draw) {
  GrayImage page(300, 400);
  Line(page, 0, 0, page.Width(), page.Height(), 255);
  draw(page);
  for (const PictureBox& t : kText) {
    for (int x = t.x; x < t.x + t.width; x += 4) Line(page, x, t.y, x + 2, t.y + t.height, 60);
    Line(page, t.x - 1, t.y, t.x, t.y + t.height, 100);
    Line(page, t.x + t.width, t.y, t.x + t.width + 1, t.y + t.height, 100);
  }
  return page;
}

TEST(InkBesideText, FindsFiguresButNotRulesSpecksOrShadedBoxesOfText) {
  const struct {
    std::string name;
    std::function<void(GrayImage&)> draw;
    std::vector<PictureBox> found;
  } cases[] = {
      {"text alone", [](GrayImage&) {}, {}},
      {"an underline", [](GrayImage& p) { Line(p, 40, 58, 260, 59, 0); }, {}},
      {"specks far apart",
       [](GrayImage& p) {
         for (int i = 0; i < 6; ++i) Line(p, 20 + 45 * i, 100 + 30 * i, 22 + 45 * i, 102 + 30 * i, 0);
       },
       {}},
      {"a small dark mark", [](GrayImage& p) { Line(p, 20, 150, 28, 158, 0); }, {}},
      {"a shaded, framed box around the text",
       [](GrayImage& p) {
         Line(p, 30, 44, 270, 86, 228);
         Line(p, 30, 44, 270, 45, 0), Line(p, 30, 85, 270, 86, 0);
         Line(p, 30, 44, 31, 86, 0), Line(p, 269, 44, 270, 86, 0);
         // Marks the hidden text leaves out, light once coarse: too little to be a figure.
         for (int x = 50; x < 130; x += 4) Line(p, x, 80, x + 2, 81, 200);
       },
       {}},
      {"a faint drawing: a frame with one line across, light grey once coarse",
       [](GrayImage& p) {
         Line(p, 100, 330, 200, 331, 191), Line(p, 100, 389, 200, 390, 191);
         Line(p, 100, 330, 101, 390, 191), Line(p, 199, 330, 200, 390, 191);
         Line(p, 120, 360, 180, 361, 191);
       },
       {{100, 330, 100, 60}}},
      {"a dark drawing",
       [](GrayImage& p) { Line(p, 100, 120, 180, 200, 255), Line(p, 100, 120, 180, 160, 40); },
       {{100, 120, 80, 40}}},
      {"a drawing of thin lines, light grey once coarse, in two pieces close together",
       [](GrayImage& p) {
         for (int y = 120; y < 220; y += 10) Line(p, 60, y, 140, y + 1, 191);
         Line(p, 60, 120, 61, 211, 191);
         Line(p, 144, 120, 200, 121, 191), Line(p, 144, 120, 145, 211, 191), Line(p, 199, 120, 200, 211, 191);
         for (int y = 130; y < 211; y += 10) Line(p, 144, y, 200, y + 1, 191);
       },
       {{60, 120, 140, 91}}},
  };
  for (const auto& c : cases) {
    const GrayImage page = CoarsePage(c.draw);
    EXPECT_EQ(InkBesideText(TestRuntime(), page.View(), kText), c.found) << c.name;
  }
}

}  // namespace
}  // namespace bookloom
