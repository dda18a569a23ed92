#include "pictures/ScanCleanup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "pictures/GrayLevels.h"
#include "pictures/LeptonicaPix.h"

namespace bookloom {

namespace {

using Histogram = std::array<double, 256>;

Histogram HistogramOf(const GrayView& view) {
  Histogram counts{};
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    for (int x = 0; x < view.width; ++x) ++counts[row[x]];
  }
  return counts;
}

// The grey below which `share` of the histogram's pixels from `from` to `to` lie.
int QuantileOf(const Histogram& counts, int from, int to, double share) {
  double total = 0;
  for (int v = from; v <= to; ++v) total += counts[v];
  double seen = 0;
  for (int v = from; v <= to; ++v) {
    seen += counts[v];
    if (seen > share * total) return v;
  }
  return to;
}

// Print covers at least this share of a page with text on it; blank paper's grain splits too, but
// then both sides lie close together.
constexpr double kLeastPrintShare = 0.001;
constexpr int kLeastContrast = 64;

// The paper's level among the greys from `from` up: three spreads of its grain below its middle grey,
// the spread measured on the lighter half, which no edge of a letter reaches.
int PaperLevelOf(const Histogram& counts, int from) {
  const int middle = QuantileOf(counts, from, 255, 0.5);
  const int spread = std::max(1, QuantileOf(counts, from, 255, 0.84) - middle);
  return std::max(from, middle - 3 * spread - 1);
}

ScanLevels LevelsOf(const Histogram& counts, int split) {
  double total = 0, dark = 0;
  for (int v = 0; v < 256; ++v) (v <= split ? dark : total) += counts[v];
  total += dark;
  if (total == 0) return {};
  const int paperMiddle = QuantileOf(counts, split + 1, 255, 0.5);
  const int printMiddle = QuantileOf(counts, 0, split, 0.5);
  // Without print the split falls inside the paper's grain: all of it is paper.
  if (dark < kLeastPrintShare * total || paperMiddle - printMiddle < kLeastContrast)
    return {0, std::max(1, PaperLevelOf(counts, 0))};
  const int paper = PaperLevelOf(counts, split + 1);
  return {std::min(printMiddle, paper - 1), paper};
}

GrayTable TableOf(const ScanLevels& levels) {
  GrayTable table;
  for (int v = 0; v < 256; ++v) {
    if (v >= levels.paper)
      table[v] = 255;
    else if (v <= levels.print)
      table[v] = 0;
    else
      table[v] = static_cast<uint8_t>((v - levels.print) * 255 / (levels.paper - levels.print));
  }
  return table;
}

// The skew of the page's print, in degrees, and the page turned back by it; the page itself when
// Leptonica finds no skew it is sure of.
double Straighten(const Leptonica& lept, PixPtr& page, int split) {
  const PixPtr ink = MadePix(lept, lept.pixThresholdToBinary(page.get(), split + 1));
  l_float32 angle = 0, confidence = 0;
  if (lept.pixFindSkew(ink.get(), &angle, &confidence) != 0) return 0;
  constexpr l_float32 kLeastConfidence = 3.0f, kLeastAngle = 0.1f;
  if (confidence < kLeastConfidence || std::abs(angle) < kLeastAngle) return 0;
  page = MadePix(lept, lept.pixRotate(page.get(), angle * static_cast<l_float32>(M_PI / 180),
                                      L_ROTATE_AREA_MAP, L_BRING_IN_WHITE, 0, 0));
  return angle;
}

// A Leptonica box of the part, released when the statement that made it ends.
struct LeptBox {
  LeptBox(const Leptonica& lept, const PictureBox& b)
      : lept(lept), box(lept.boxCreate(b.x, b.y, b.width, b.height)) {
    if (!box) throw std::bad_alloc();
  }
  ~LeptBox() { lept.boxDestroy(&box); }
  operator BOX*() const { return box; }
  const Leptonica& lept;
  BOX* box;
};

}  // namespace

int SplitOf(const Leptonica& lept, std::span<const double> counts) {
  NUMA* numa = lept.numaCreate(static_cast<int>(counts.size()));
  if (!numa) throw std::bad_alloc();
  for (double c : counts) lept.numaAddNumber(numa, static_cast<l_float32>(c));
  l_int32 split = static_cast<l_int32>(counts.size() / 2);
  lept.numaSplitDistribution(numa, 0.0f, &split, nullptr, nullptr, nullptr, nullptr, nullptr);
  lept.numaDestroy(&numa);
  return std::clamp(split, 0, std::max(0, static_cast<int>(counts.size()) - 2));
}

int MedianOf(std::vector<int> values) {
  if (values.empty()) return 0;
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

int XHeightOf(const std::vector<PictureBox>& parts) {
  std::vector<int> heights;
  for (const PictureBox& p : parts) heights.push_back(p.height);
  const int middle = MedianOf(heights);
  std::erase_if(heights, [middle](int h) { return 3 * h < middle; });
  return MedianOf(heights);
}

bool Inside(const PictureBox& part, const PictureBox& box) {
  return part.x >= box.x && part.y >= box.y && part.x + part.width <= box.x + box.width &&
         part.y + part.height <= box.y + box.height;
}

void GrowToAreas(const Leptonica& lept, std::vector<PictureBox>& pictures, const GrayView& page,
                 int lighterThan) {
  if (pictures.empty() || page.width < 2 || page.height < 2) return;
  GrayImage half(page.width / 2, page.height / 2);
  for (int y = 0; y < half.Height(); ++y) {
    const uint8_t *a = page.Row(2 * y), *b = page.Row(2 * y + 1);
    uint8_t* to = half.Row(y);
    for (int x = 0; x < half.Width(); ++x)
      to[x] = static_cast<uint8_t>((a[2 * x] + a[2 * x + 1] + b[2 * x] + b[2 * x + 1] + 2) / 4);
  }
  const std::vector<PictureBox> areas = InkParts(lept, InkOf(lept, half.View(), lighterThan).get());
  for (PictureBox& p : pictures) {
    const int x0 = p.x / 2, y0 = p.y / 2, x1 = (p.x + p.width) / 2, y1 = (p.y + p.height) / 2;
    for (const PictureBox& a : areas) {
      if (!Inside({x0, y0, x1 - x0, y1 - y0}, a)) continue;
      const int left = std::min(p.x, 2 * a.x), top = std::min(p.y, 2 * a.y);
      const int right = std::min(page.width, std::max(p.x + p.width, 2 * (a.x + a.width)));
      const int bottom = std::min(page.height, std::max(p.y + p.height, 2 * (a.y + a.height)));
      p = {left, top, right - left, bottom - top};
    }
  }
}

ScanLevels ScanLevelsOf(const Runtime& runtime, const GrayView& scan) {
  const Histogram counts = HistogramOf(scan);
  return LevelsOf(counts, SplitOf(LeptonicaOf(runtime), counts));
}

CleanedScan CleanScan(const Runtime& runtime, const GrayView& scan) {
  CleanedScan cleaned;
  if (scan.width <= 0 || scan.height <= 0) return cleaned;
  const Leptonica& lept = LeptonicaOf(runtime);
  PixPtr pix = PixOf(lept, scan);
  const Histogram counts = HistogramOf(scan);
  const int split = SplitOf(lept, counts);
  cleaned.skewDegrees = Straighten(lept, pix, split);
  const GrayImage original = GrayOfPix(lept, pix.get());
  const GrayView page = original.View();
  const ScanLevels levels = LevelsOf(counts, split);
  const GrayTable table = TableOf(levels);

  // The ink, without its specks; photographs and drawings are its largest parts.
  const PixPtr ink = InkOf(lept, page, split + 1);
  std::vector<PictureBox> parts = InkParts(lept, ink.get());
  for (const PictureBox& part : parts)
    if (part.width * kPictureShareOfWidth > page.width && part.height * kPictureShareOfHeight > page.height)
      cleaned.pictures.push_back(part);
  // A photograph's light greys, between its dark parts and the paper, are part of it.
  GrowToAreas(lept, cleaned.pictures, page, levels.paper);
  // The letters' size is measured on the print beside the pictures: the crumbs of a photograph's
  // lighter greys are no letters.
  std::vector<PictureBox> print;
  for (const PictureBox& part : parts)
    if (std::none_of(cleaned.pictures.begin(), cleaned.pictures.end(),
                     [&](const PictureBox& p) { return Inside(part, p); }))
      print.push_back(part);
  // A speck far from the print is dust; near it, a dot of an i, a full stop.
  const int xHeight = XHeightOf(print);
  const int speck = std::max(1, xHeight / 6);
  auto isSpeck = [speck](const PictureBox& part) { return part.width <= speck && part.height <= speck; };
  const PixPtr letters = MadePix(lept, lept.pixCopy(nullptr, ink.get()));
  for (const PictureBox& part : parts)
    if (isSpeck(part)) lept.pixClearInRect(letters.get(), LeptBox(lept, part));
  const PixPtr nearPrint =
      MadePix(lept, lept.pixDilateBrick(nullptr, letters.get(), 2 * xHeight + 1, 2 * xHeight + 1));
  for (const PictureBox& part : parts)
    if (isSpeck(part) &&
        !IsInk(RowOf(lept, nearPrint.get(), part.y + part.height / 2), part.x + part.width / 2))
      lept.pixClearInRect(ink.get(), LeptBox(lept, part));
  const PixPtr near = MadePix(lept, lept.pixDilateBrick(nullptr, ink.get(), 2 * speck + 1, 2 * speck + 1));

  cleaned.page = GrayImage(page.width, page.height);
  for (int y = 0; y < page.height; ++y) {
    const uint8_t* from = page.Row(y);
    uint8_t* to = cleaned.page.Row(y);
    const l_uint32* nearRow = RowOf(lept, near.get(), y);
    for (int x = 0; x < page.width; ++x) to[x] = IsInk(nearRow, x) ? table[from[x]] : 255;
  }
  for (const PictureBox& p : cleaned.pictures)
    for (int y = p.y; y < p.y + p.height; ++y)
      std::copy_n(page.Row(y) + p.x, p.width, cleaned.page.Row(y) + p.x);
  return cleaned;
}

}  // namespace bookloom
