#include "pictures/TextFigures.h"

#include <algorithm>
#include <cstdint>

#include "pictures/Reflow.h"

namespace bookloom {

namespace {

int64_t Area(const PictureBox& b) { return int64_t{b.width} * b.height; }

// The pixels of `box` that the text's boxes cover (a pixel under two boxes counted twice, as the words
// of a line hardly overlap).
int64_t CoveredArea(const PictureBox& box, const std::vector<PictureBox>& text) {
  int64_t covered = 0;
  for (const PictureBox& t : text) {
    const int width = std::min(box.x + box.width, t.x + t.width) - std::max(box.x, t.x);
    const int height = std::min(box.y + box.height, t.y + t.height) - std::max(box.y, t.y);
    if (width > 0 && height > 0) covered += int64_t{width} * height;
  }
  return covered;
}

}  // namespace

std::vector<PictureBox> FiguresBesideText(const GrayView& page, const std::vector<PictureBox>& text) {
  std::vector<PictureBox> figures;
  for (const ScanLine& line : SegmentScan(page).lines)
    if (line.figure && 2 * CoveredArea(line.box, text) < Area(line.box)) figures.push_back(line.box);
  return figures;
}

}  // namespace bookloom
