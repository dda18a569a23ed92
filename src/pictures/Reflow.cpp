#include "pictures/Reflow.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "pictures/LeptonicaPix.h"
#include "pictures/Resampling.h"
#include "pictures/ScanCleanup.h"
#include "platform/Bitmap.h"

namespace bookloom {

namespace {

int Right(const PictureBox& b) { return b.x + b.width; }
int Bottom(const PictureBox& b) { return b.y + b.height; }

PictureBox Union(const PictureBox& a, const PictureBox& b) {
  if (a.width <= 0) return b;
  const int x = std::min(a.x, b.x), y = std::min(a.y, b.y);
  return {x, y, std::max(Right(a), Right(b)) - x, std::max(Bottom(a), Bottom(b)) - y};
}

struct Part {
  PictureBox box;
  bool figure = false;
  bool dust = false;  // no larger than a sixth of an x-height either way: it joins no letters into a word
};
using Block = std::vector<Part>;

// A white gap between the parts along one axis: from the end of the parts before it to the start of
// those after.
struct Gap {
  int from = 0, to = 0;
};

int Start(const Part& p, bool alongX) { return alongX ? p.box.x : p.box.y; }
int End(const Part& p, bool alongX) { return alongX ? Right(p.box) : Bottom(p.box); }

// The widest gap of at least `least` pixels; the first of equally wide ones.
std::optional<Gap> WidestGap(Block& block, bool alongX, int least) {
  std::sort(block.begin(), block.end(),
            [alongX](const Part& a, const Part& b) { return Start(a, alongX) < Start(b, alongX); });
  std::optional<Gap> widest;
  int reach = End(block.front(), alongX);
  for (const Part& p : block) {
    const int gap = Start(p, alongX) - reach;
    if (gap >= least && (!widest || gap > widest->to - widest->from)) widest = Gap{reach, Start(p, alongX)};
    reach = std::max(reach, End(p, alongX));
  }
  return widest;
}

PictureBox BoxOf(const Block& block) {
  PictureBox box;
  for (const Part& p : block) box = Union(box, p.box);
  return box;
}

// The blocks that are one line each (or one figure), in reading order.
std::vector<Block> LinesOf(Block parts, int xHeight) {
  const int gutter = std::max(2, xHeight * 5 / 2);
  std::vector<Block> lines, pending;
  pending.push_back(std::move(parts));
  while (!pending.empty()) {
    Block block = std::move(pending.back());
    pending.pop_back();
    std::optional<Gap> gap;
    bool alongX = true;
    if (BoxOf(block).height >= 6 * xHeight) gap = WidestGap(block, true, gutter);
    if (!gap) {
      alongX = false;
      gap = WidestGap(block, false, 1);
    }
    if (!gap) {
      lines.push_back(std::move(block));
      continue;
    }
    Block first, second;
    for (Part& p : block) (Start(p, alongX) < gap->to ? first : second).push_back(p);
    pending.push_back(std::move(second));
    pending.push_back(std::move(first));
  }
  return lines;
}

// The line a block makes (its words set later), its parts sorted left to right.
ScanLine LineOf(Block& block, int xHeight) {
  ScanLine line;
  line.box = BoxOf(block);
  std::vector<int> bottoms;
  for (const Part& p : block) {
    line.figure = line.figure || p.figure;
    if (2 * p.box.height >= xHeight) bottoms.push_back(Bottom(p.box));
  }
  line.baseline = bottoms.empty() ? Bottom(line.box) : MedianOf(bottoms);
  if (line.figure || line.box.height > 4 * xHeight) {
    line.figure = true;
    return line;
  }
  std::sort(block.begin(), block.end(), [](const Part& a, const Part& b) { return a.box.x < b.box.x; });
  return line;
}

// The white between the letters of a line (its parts but dust), left to right: 0 where they overlap.
template <class Use>
void ForEachGap(const Block& sortedParts, Use use) {
  int reach = std::numeric_limits<int>::min();
  for (const Part& p : sortedParts) {
    if (p.dust) continue;
    use(p, reach == std::numeric_limits<int>::min() ? 0 : std::max(0, p.box.x - reach));
    reach = std::max(reach, Right(p.box));
  }
}

// The widest gap between the letters of a word: the narrowest dilation that joins the page's letters
// into words, as Leptonica finds it (on the page reduced to about 75 to 150 pixels an inch, which it
// works at), kept within a quarter and four fifths of an x-height.
int WordGapOf(Pix* ink, int xHeight) {
  PixPtr reduced;
  int factor = 1;
  for (Pix* page = ink; xHeight / factor > 16; page = reduced.get()) {
    PixPtr half(Lept().pixReduceRankBinary2(page, 1, nullptr));
    if (!half) throw std::bad_alloc();
    reduced = std::move(half);
    factor *= 2;
  }
  l_int32 size = 0;
  const int found = Lept().pixWordMaskByDilation(reduced ? reduced.get() : ink, nullptr, &size, nullptr) == 0
                        ? size * factor - 1
                        : xHeight / 2;
  return std::clamp(found, xHeight / 4, xHeight * 4 / 5);
}

// The line's words: its letters split at gaps wider than `wordGap`; then each speck of dust joins the
// word it stands over or beside (within `wordGap`), or is left out when it stands between words.
void SetWords(ScanLine& line, const Block& sortedParts, int wordGap) {
  PictureBox word;
  ForEachGap(sortedParts, [&](const Part& p, int gap) {
    if (word.width > 0 && gap > wordGap) line.words.push_back(std::exchange(word, {}));
    word = Union(word, p.box);
  });
  if (word.width > 0) line.words.push_back(word);
  for (const Part& p : sortedParts) {
    if (!p.dust) continue;
    PictureBox* nearest = nullptr;
    int nearestGap = wordGap + 1;
    for (PictureBox& w : line.words) {
      const int gap = std::max({0, w.x - Right(p.box), p.box.x - Right(w)});
      if (gap < nearestGap) nearest = &w, nearestGap = gap;
    }
    if (nearest) *nearest = Union(*nearest, p.box);
  }
}

// Whether the line is a page's running header, footer or number: short, alone, at the page's edge.
bool IsRunningLine(const ScanLayout& layout, size_t index, int pageHeight) {
  const ScanLine& line = layout.lines[index];
  if (line.figure || line.words.size() > 8) return false;
  const int edge = pageHeight / 12;
  if (line.box.y > edge && Bottom(line.box) < pageHeight - edge) return false;
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    const PictureBox& other = layout.lines[i].box;
    const int gap = std::max(other.y - Bottom(line.box), line.box.y - Bottom(other));
    if (i != index && gap < 3 * layout.xHeight) return false;
  }
  return true;
}

// A line begins a paragraph after a figure, when it is indented from the line after it, and, below a
// line of its column, when it is indented from that line, set apart by a wider gap, or when that line
// ended short of the column (its first word would have fitted there).
void MarkParagraphs(ScanLayout& layout) {
  const int xh = layout.xHeight;
  std::vector<ScanLine>& lines = layout.lines;
  for (size_t i = 0; i < lines.size(); ++i) {
    ScanLine& line = lines[i];
    if (line.figure) continue;
    const PictureBox& b = line.box;
    const ScanLine* before = i > 0 && !lines[i - 1].figure ? &lines[i - 1] : nullptr;
    const ScanLine* after = i + 1 < lines.size() && !lines[i + 1].figure ? &lines[i + 1] : nullptr;
    const bool indented = after && after->box.y > b.y && after->box.x < b.x - 3 * xh / 2;
    if (!before || indented) {
      line.paragraphStart = true;
      continue;
    }
    const PictureBox& p = before->box;
    const bool sameColumn =
        b.y >= Bottom(p) - xh && ((b.x < Right(p) && p.x < Right(b)) || std::abs(b.x - p.x) < 4 * xh);
    const int columnRight = std::max(Right(p), Right(b));
    const int firstWord = line.words.empty() ? 0 : line.words.front().width;
    line.paragraphStart = sameColumn && (b.x > p.x + 3 * xh / 2 || Right(p) + xh + firstWord < columnRight ||
                                         b.y - Bottom(p) > 2 * xh);
  }
}

}  // namespace

ScanLayout SegmentScan(const GrayView& page, bool words) {
  ScanLayout layout;
  if (page.width <= 0 || page.height <= 0) return layout;
  const PixPtr ink = InkOf(page, 128);
  std::vector<PictureBox> boxes = InkParts(ink.get());
  // A page of noise or of a halftone photograph rather than print is a picture: no text to set again.
  // (A page of text holds a few thousand parts.)
  constexpr size_t kMostParts = 60000;
  if (boxes.empty() ||
      boxes.size() > std::min(kMostParts, static_cast<size_t>(page.width) * page.height / 64))
    return layout;
  std::vector<Part> parts;
  for (const PictureBox& b : boxes)
    parts.push_back(
        {b, b.width * kPictureShareOfWidth > page.width && b.height * kPictureShareOfHeight > page.height});
  // What stands inside a figure or just beside it (a chart's labels, the light edge of a photograph) is
  // part of it.
  const int reach = std::max(page.width, page.height) / 100;
  std::vector<size_t> figures;
  for (size_t i = 0; i < parts.size(); ++i)
    if (parts[i].figure) figures.push_back(i);
  std::erase_if(parts, [&](const Part& p) {
    if (p.figure) return false;
    const int cx = p.box.x + p.box.width / 2, cy = p.box.y + p.box.height / 2;
    for (size_t f : figures) {
      PictureBox& box = parts[f].box;
      if (cx >= box.x - reach && cx < Right(box) + reach && cy >= box.y - reach && cy < Bottom(box) + reach) {
        box = Union(box, p.box);
        return true;
      }
    }
    return false;
  });
  std::vector<PictureBox> text;
  for (const Part& p : parts)
    if (!p.figure) text.push_back(p.box);
  layout.xHeight = XHeightOf(text);
  // Letters smaller than this are no text a reflow could make readable (noise, a halftone).
  constexpr int kLeastXHeight = 3;
  if (layout.xHeight < kLeastXHeight) return {};
  const int xh = layout.xHeight;
  // Dots, commas and accents join a line afterwards, so that none stands as a line of its own.
  Block main, marks;
  for (const Part& p : parts)
    (!p.figure && 5 * p.box.height < 3 * xh && 2 * p.box.width < 3 * xh ? marks : main).push_back(p);
  for (Part& mark : marks) mark.dust = 6 * mark.box.width <= xh && 6 * mark.box.height <= xh;
  if (main.empty()) return {};
  std::vector<Block> blocks = LinesOf(std::move(main), xh);
  std::vector<PictureBox> blockBoxes;
  for (const Block& b : blocks) blockBoxes.push_back(BoxOf(b));
  for (const Part& mark : marks) {
    size_t nearest = blocks.size();
    int nearestGap = 3 * xh / 2 + 1;
    for (size_t i = 0; i < blocks.size(); ++i) {
      const PictureBox& b = blockBoxes[i];
      if (mark.box.x >= Right(b) + xh || Right(mark.box) + xh <= b.x) continue;
      const int gap = std::max({0, b.y - Bottom(mark.box), mark.box.y - Bottom(b)});
      if (gap < nearestGap) nearest = i, nearestGap = gap;
    }
    if (nearest < blocks.size()) blocks[nearest].push_back(mark);
  }
  for (Block& b : blocks) layout.lines.push_back(LineOf(b, xh));
  if (!words) return layout;
  const int wordGap = WordGapOf(ink.get(), xh);
  for (size_t i = 0; i < blocks.size(); ++i)
    if (!layout.lines[i].figure) SetWords(layout.lines[i], blocks[i], wordGap);
  for (size_t i = layout.lines.size(); i-- > 0;)
    if (IsRunningLine(layout, i, page.height))
      layout.lines.erase(layout.lines.begin() + static_cast<std::ptrdiff_t>(i));
  MarkParagraphs(layout);
  if (std::none_of(layout.lines.begin(), layout.lines.end(), [](const ScanLine& l) { return !l.figure; }))
    layout.xHeight = 0;
  return layout;
}

namespace {

// Device pages filled line by line with the parts of a scaled page.
class Composer {
 public:
  Composer(const ReflowOptions& options, const std::function<void(Bitmap&)>& takePage)
      : options_(options), takePage_(takePage) {
    const Margins& m = options.margins;
    width_ = kDevicePageWidth - m.left - m.right;
    height_ = kDevicePageHeight - m.top - m.bottom;
    edge_ = std::min({options.xHeight, width_ / 4, height_ / 4});
    Clear();
  }

  int Pages() const { return pages_; }

  // A word of `from`, its baseline `ascent` rows below its top.
  void AddWord(const GrayView& from, int ascent) {
    const int usable = width_ - 2 * edge_;
    if (lineX_ + from.width > usable && !words_.empty()) EndLine();
    words_.push_back({from, lineX_, ascent});
    lineX_ += std::min(from.width, usable) + std::max(2, options_.xHeight * 4 / 5);
  }

  void StartParagraph() {
    EndLine();
    lineX_ = 2 * options_.xHeight;
  }

  void AddFigure(const GrayView& figure) {
    EndLine();
    if (y_ + figure.height > height_ - edge_ && y_ > edge_) EndPage();
    Place(figure, (width_ - figure.width) / 2, y_);
    y_ += figure.height + Leading();
  }

  int FigureWidth() const { return width_ - 2 * edge_; }
  int FigureHeight() const { return height_ - 2 * edge_; }

  void EndLine() {
    if (words_.empty()) {
      lineX_ = 0;
      return;
    }
    int ascent = 0, descent = 0;
    for (const Placed& w : words_) {
      ascent = std::max(ascent, w.ascent);
      descent = std::max(descent, w.from.height - w.ascent);
    }
    if (y_ + ascent + descent > height_ - edge_ && y_ > edge_) EndPage();
    for (const Placed& w : words_) Place(w.from, edge_ + w.x, y_ + ascent - w.ascent);
    y_ += ascent + descent + Leading();
    words_.clear();
    lineX_ = 0;
  }

  void EndPage() {
    if (y_ <= edge_) return;
    FitOptions fit;
    fit.colors = options_.colors;
    fit.margins = options_.margins;
    Bitmap bitmap;
    FitPictureToPage(page_.View(), bitmap, fit);
    takePage_(bitmap);
    ++pages_;
    Clear();
  }

 private:
  struct Placed {
    GrayView from;
    int x, ascent;
  };

  int Leading() const { return std::max(1, options_.xHeight * 2 / 5); }

  void Clear() {
    page_ = GrayImage(width_, height_);
    for (int y = 0; y < height_; ++y) std::fill_n(page_.Row(y), width_, uint8_t{255});
    y_ = edge_;
  }

  // Copies what of `from` falls on the page at x, y.
  void Place(const GrayView& from, int x, int y) {
    const int x0 = std::max(0, x), x1 = std::min(width_, x + from.width);
    for (int row = std::max(0, y); row < std::min(height_, y + from.height) && x0 < x1; ++row)
      std::copy(from.Row(row - y) + (x0 - x), from.Row(row - y) + (x1 - x), page_.Row(row) + x0);
  }

  const ReflowOptions& options_;
  const std::function<void(Bitmap&)>& takePage_;
  int width_ = 0, height_ = 0, edge_ = 0;
  GrayImage page_;
  int y_ = 0, lineX_ = 0, pages_ = 0;
  std::vector<Placed> words_;
};

GrayImage Resized(const GrayView& from, int width, int height) {
  GrayImage to(std::max(1, width), std::max(1, height));
  ResampleGray(from, to, Lanczos3Filter, kLanczos3Support);
  return to;
}

}  // namespace

int ReflowPage(const GrayView& page, const ScanLayout& layout, const ReflowOptions& options,
               const std::function<void(Bitmap& page)>& takePage) {
  if (layout.xHeight <= 0) return 0;
  // Words are enlarged at most this many times: beyond it a scan's letters are too coarse to read.
  constexpr double kMostEnlargement = 4;
  const double scale = std::min(kMostEnlargement, static_cast<double>(options.xHeight) / layout.xHeight);
  const GrayImage scaled = Resized(page, static_cast<int>(std::lround(page.width * scale)),
                                   static_cast<int>(std::lround(page.height * scale)));
  const GrayView view = scaled.View();
  // A box of the page in the scaled page's pixels, within it.
  auto scaledBox = [&](const PictureBox& b) {
    const int x0 = std::clamp(static_cast<int>(std::floor(b.x * scale)), 0, view.width - 1);
    const int y0 = std::clamp(static_cast<int>(std::floor(b.y * scale)), 0, view.height - 1);
    const int x1 = std::clamp(static_cast<int>(std::ceil(Right(b) * scale)), x0 + 1, view.width);
    const int y1 = std::clamp(static_cast<int>(std::ceil(Bottom(b) * scale)), y0 + 1, view.height);
    return PictureBox{x0, y0, x1 - x0, y1 - y0};
  };
  Composer composer(options, takePage);
  for (const ScanLine& line : layout.lines) {
    if (line.figure) {
      const PictureBox& b = line.box;
      const double fit = std::min({1.0, static_cast<double>(composer.FigureWidth()) / b.width,
                                   static_cast<double>(composer.FigureHeight()) / b.height});
      const GrayImage figure = Resized(page.Part(b.x, b.y, b.width, b.height),
                                       static_cast<int>(b.width * fit), static_cast<int>(b.height * fit));
      composer.AddFigure(figure.View());
      continue;
    }
    if (line.paragraphStart) composer.StartParagraph();
    for (const PictureBox& word : line.words) {
      const PictureBox s = scaledBox(word);
      const int ascent = static_cast<int>(std::lround(line.baseline * scale)) - s.y;
      composer.AddWord(view.Part(s.x, s.y, s.width, s.height), std::clamp(ascent, 0, s.height));
    }
  }
  composer.EndLine();
  composer.EndPage();
  return composer.Pages();
}

}  // namespace bookloom
