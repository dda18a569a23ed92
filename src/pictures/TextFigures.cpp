#include "pictures/TextFigures.h"

#include <algorithm>
#include <cstdint>

#include "pictures/LeptonicaPix.h"
#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"

namespace bookloom {

namespace {

int Right(const PictureBox& b) { return b.x + b.width; }
int Bottom(const PictureBox& b) { return b.y + b.height; }

// A pixel darker than this is ink, as SegmentScan sees it.
constexpr int kInkGrey = 128;
// A thin line drawn finely comes out light grey when the page is rendered coarsely: still ink there,
// while a box's light shading is not.
constexpr int kCoarseInkGrey = 224;

// Joins the boxes that stand within `reach` of each other into one, until none do.
void MergeClose(std::vector<PictureBox>& boxes, int reach) {
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t i = 0; i < boxes.size() && !merged; ++i)
      for (size_t j = i + 1; j < boxes.size() && !merged; ++j) {
        const PictureBox& a = boxes[i];
        const PictureBox& b = boxes[j];
        if (a.x > Right(b) + reach || b.x > Right(a) + reach || a.y > Bottom(b) + reach ||
            b.y > Bottom(a) + reach)
          continue;
        const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
        boxes[i] = {x, y, std::max(Right(a), Right(b)) - x, std::max(Bottom(a), Bottom(b)) - y};
        boxes.erase(boxes.begin() + static_cast<ptrdiff_t>(j));
        merged = true;
      }
  }
}

// Whether the figure holds ink of its own: within its edges (a tenth of its width or height, where a
// frame around a box of text runs),
// outside the text's boxes, at least one pixel in 200 ink. In a coarse rendering (`coarse`) a pixel
// stands for several fine ones, of which its darkness tells the share that is ink; the share asked for
// is then halved, so that a figure is not missed for its ink looking lighter there.
bool HoldsInkBesideText(const GrayView& page, const PictureBox& figure, const std::vector<PictureBox>& text,
                        bool coarse = false) {
  // A coarse rendering blurs a frame a pixel further in.
  const int edge = std::max(2, std::min(figure.width, figure.height) / 10) + (coarse ? 1 : 0);
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
    for (int x = 0; x < width; ++x)
      if (!covered[x] && row[x] < (coarse ? kCoarseInkGrey : kInkGrey)) ink += coarse ? 255 - row[x] : 255;
  }
  return ink * (coarse ? 400 : 200) >= int64_t{255} * width * height;
}

}  // namespace

std::vector<PictureBox> FiguresBesideText(const Runtime& runtime, const GrayView& page,
                                          const std::vector<PictureBox>& text) {
  std::vector<PictureBox> figures;
  for (const ScanLine& line : SegmentScan(runtime, page, false).lines)
    if (line.figure && HoldsInkBesideText(page, line.box, text)) figures.push_back(line.box);
  // The pieces of one figure (the letters of a drawn title, pictures side by side) are one picture.
  MergeClose(figures, std::max(page.width, page.height) / 50);
  return figures;
}

std::vector<PictureBox> InkBesideText(const Runtime& runtime, const GrayView& page,
                                      const std::vector<PictureBox>& text) {
  GrayImage left(page.width, page.height);
  for (int y = 0; y < page.height; ++y) std::copy_n(page.Row(y), page.width, left.Row(y));
  for (const PictureBox& t : text) {
    const int x0 = std::max(0, t.x - 1), x1 = std::min(page.width, Right(t) + 1);
    for (int y = std::max(0, t.y); y < std::min(page.height, Bottom(t)) && x0 < x1; ++y)
      std::fill_n(left.Row(y) + x0, x1 - x0, uint8_t{255});
  }
  const Leptonica& lept = LeptonicaOf(runtime);
  std::vector<PictureBox> parts = InkParts(lept, InkOf(lept, left.View(), kCoarseInkGrey).get());
  MergeClose(parts, std::max(page.width, page.height) / 50);
  std::erase_if(parts, [&](const PictureBox& b) {
    return b.width * kPictureShareOfWidth <= page.width || b.height * kPictureShareOfHeight <= page.height ||
           !HoldsInkBesideText(left.View(), b, {}, true);
  });
  return parts;
}

}  // namespace bookloom
