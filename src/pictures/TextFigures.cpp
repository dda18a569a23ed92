#include "pictures/TextFigures.h"

#include <algorithm>
#include <cstdint>

#include "pictures/Reflow.h"

namespace bookloom {

namespace {

int Right(const PictureBox& b) { return b.x + b.width; }
int Bottom(const PictureBox& b) { return b.y + b.height; }

// A pixel darker than this is ink, as SegmentScan sees it.
constexpr int kInkGrey = 128;

// Whether the figure holds ink of its own: within its edges (a tenth of its width or height, where a
// frame around a box of text runs),
// outside the text's boxes, at least one pixel in 200.
bool HoldsInkBesideText(const GrayView& page, const PictureBox& figure, const std::vector<PictureBox>& text) {
  const int edge = std::max(2, std::min(figure.width, figure.height) / 10);
  const int x0 = figure.x + edge, y0 = figure.y + edge;
  const int width = figure.width - 2 * edge, height = figure.height - 2 * edge;
  if (width <= 0 || height <= 0) return false;
  std::vector<uint8_t> underText(static_cast<size_t>(width) * height);
  for (const PictureBox& t : text) {
    const int tx0 = std::max(t.x, x0) - x0, tx1 = std::min(Right(t), x0 + width) - x0;
    for (int y = std::max(t.y, y0) - y0; y < std::min(Bottom(t), y0 + height) - y0 && tx0 < tx1; ++y)
      std::fill_n(underText.begin() + static_cast<ptrdiff_t>(y) * width + tx0, tx1 - tx0, uint8_t{1});
  }
  int64_t ink = 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = page.Row(y0 + y) + x0;
    const uint8_t* covered = underText.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) ink += row[x] < kInkGrey && !covered[x];
  }
  return ink * 200 >= int64_t{width} * height;
}

}  // namespace

std::vector<PictureBox> FiguresBesideText(const GrayView& page, const std::vector<PictureBox>& text) {
  std::vector<PictureBox> figures;
  for (const ScanLine& line : SegmentScan(page).lines)
    if (line.figure && HoldsInkBesideText(page, line.box, text)) figures.push_back(line.box);
  // The pieces of one figure (the letters of a drawn title, pictures side by side) are one picture.
  const int reach = std::max(page.width, page.height) / 50;
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t i = 0; i < figures.size() && !merged; ++i)
      for (size_t j = i + 1; j < figures.size() && !merged; ++j) {
        const PictureBox& a = figures[i];
        const PictureBox& b = figures[j];
        if (a.x > Right(b) + reach || b.x > Right(a) + reach || a.y > Bottom(b) + reach ||
            b.y > Bottom(a) + reach)
          continue;
        const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
        figures[i] = {x, y, std::max(Right(a), Right(b)) - x, std::max(Bottom(a), Bottom(b)) - y};
        figures.erase(figures.begin() + static_cast<ptrdiff_t>(j));
        merged = true;
      }
  }
  return figures;
}

}  // namespace bookloom
