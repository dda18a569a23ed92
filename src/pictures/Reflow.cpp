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
  bool table = false;  // of a table without rules
  bool dust = false;   // no larger than a sixth of an x-height either way: it joins no letters into a word
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

// One row of print across a side of a block: where it lies across, and the baseline its letters stand on.
struct Row {
  int left = 0, right = 0, baseline = 0;
};

// The rows of the parts: runs of parts whose heights overlap, top to bottom.
std::vector<Row> RowsOf(Block parts, int xHeight) {
  std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.box.y < b.box.y; });
  std::vector<Row> rows;
  for (size_t i = 0; i < parts.size();) {
    int bottom = Bottom(parts[i].box), left = parts[i].box.x, right = Right(parts[i].box);
    std::vector<int> bottoms;
    for (; i < parts.size() && parts[i].box.y < bottom; ++i) {
      const PictureBox& b = parts[i].box;
      bottom = std::max(bottom, Bottom(b));
      left = std::min(left, b.x);
      right = std::max(right, Right(b));
      if (2 * b.height >= xHeight) bottoms.push_back(Bottom(b));
    }
    rows.push_back({left, right, bottoms.empty() ? bottom : MedianOf(bottoms)});
  }
  return rows;
}

// Whether a block that a gutter cuts in two is a table without rules rather than two columns of text:
// five rows or more on both sides, nearly all standing on the baselines of rows across the gutter, and
// the rows of one side short (narrower than a line of text holds).
bool IsTable(const Block& block, const Gap& gap, int xHeight) {
  Block left, right;
  for (const Part& p : block) (Start(p, true) < gap.to ? left : right).push_back(p);
  const std::vector<Row> leftRows = RowsOf(std::move(left), xHeight),
                         rightRows = RowsOf(std::move(right), xHeight);
  constexpr size_t kLeastRows = 5;
  if (leftRows.size() < kLeastRows || rightRows.size() < kLeastRows) return false;
  size_t aligned = 0;
  for (const Row& l : leftRows)
    aligned += std::any_of(rightRows.begin(), rightRows.end(),
                           [&](const Row& r) { return 2 * std::abs(r.baseline - l.baseline) <= xHeight; });
  if (5 * aligned < 4 * std::max(leftRows.size(), rightRows.size())) return false;
  const auto medianWidth = [](const std::vector<Row>& rows) {
    std::vector<int> widths;
    for (const Row& r : rows) widths.push_back(r.right - r.left);
    return MedianOf(widths);
  };
  // A line of text holds some twenty letters or more.
  constexpr int kShortInXHeights = 12;
  return std::min(medianWidth(leftRows), medianWidth(rightRows)) < kShortInXHeights * xHeight;
}

// The blocks that are one line each (or one figure), in reading order. A table without rules is one
// figure.
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
    if (gap && IsTable(block, *gap, xHeight)) {
      for (Part& p : block) p.figure = p.table = true;
      lines.push_back(std::move(block));
      continue;
    }
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
    line.table = line.table || p.table;
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
int WordGapOf(const Leptonica& lept, Pix* ink, int xHeight) {
  PixPtr reduced;
  int factor = 1;
  for (Pix* page = ink; xHeight / factor > 16; page = reduced.get()) {
    reduced = MadePix(lept, lept.pixReduceRankBinary2(page, 1, nullptr));
    factor *= 2;
  }
  l_int32 size = 0;
  const int found = lept.pixWordMaskByDilation(reduced ? reduced.get() : ink, nullptr, &size, nullptr) == 0
                        ? size * factor - 1
                        : xHeight / 2;
  return std::clamp(found, xHeight / 4, xHeight * 4 / 5);
}

// Whether a part of the line is a hyphen or a dash: a flat stroke across the middle of the letters.
bool IsDash(const PictureBox& b, int baseline, int xHeight) {
  const int middle = b.y + b.height / 2;
  return 3 * b.height <= xHeight && 3 * b.width >= xHeight && b.width >= 2 * b.height &&
         middle > baseline - xHeight && middle < baseline;
}

// The line's words: its letters split at gaps wider than `wordGap`, and around a hyphen or dash that
// stands apart by half of that (a dash between words, set with spaces narrower than those between
// letters' sides, rather than the hyphen of a compound); then each speck of dust joins the word it
// stands over or beside (within `wordGap`), or is left out when it stands between words.
void SetWords(ScanLine& line, const Block& sortedParts, int wordGap, int xHeight) {
  PictureBox word;
  bool afterDash = false;
  ForEachGap(sortedParts, [&](const Part& p, int gap) {
    const bool dash = IsDash(p.box, line.baseline, xHeight);
    if (word.width > 0 && (gap > wordGap || ((dash || afterDash) && 2 * gap > wordGap)))
      line.words.push_back(std::exchange(word, {}));
    word = Union(word, p.box);
    afterDash = dash;
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

// Each line's room: from its end to the right edge of its column, the farthest end of the lines it
// shares columns of the page with.
void MeasureRoom(std::vector<ScanLine>& lines) {
  for (ScanLine& line : lines) {
    if (line.figure) continue;
    int columnRight = Right(line.box);
    for (const ScanLine& other : lines)
      if (!other.figure && other.box.x < Right(line.box) && line.box.x < Right(other.box))
        columnRight = std::max(columnRight, Right(other.box));
    line.room = columnRight - Right(line.box);
  }
}

// A line begins a paragraph after a figure, when it is indented from the line after it, below a line of
// its column when it is indented from that line or set apart by a wider gap, and when the line before
// it (in its column or at the foot of the column before) ended short of its column: its first word
// would have fitted there. The page's first line begins one only when it is indented.
void MarkParagraphs(ScanLayout& layout) {
  const int xh = layout.xHeight;
  std::vector<ScanLine>& lines = layout.lines;
  MeasureRoom(lines);
  for (size_t i = 0; i < lines.size(); ++i) {
    ScanLine& line = lines[i];
    if (line.figure) continue;
    const PictureBox& b = line.box;
    const ScanLine* before = i > 0 && !lines[i - 1].figure ? &lines[i - 1] : nullptr;
    const ScanLine* after = i + 1 < lines.size() && !lines[i + 1].figure ? &lines[i + 1] : nullptr;
    const bool indented = after && after->box.y > b.y && after->box.x < b.x - 3 * xh / 2;
    if (!before || indented) {
      line.paragraphStart = indented || i > 0;
      continue;
    }
    const PictureBox& p = before->box;
    const bool sameColumn =
        b.y >= Bottom(p) - xh && ((b.x < Right(p) && p.x < Right(b)) || std::abs(b.x - p.x) < 4 * xh);
    const int firstWord = line.words.empty() ? 0 : line.words.front().width;
    line.paragraphStart =
        before->room > xh + firstWord || (sameColumn && (b.x > p.x + 3 * xh / 2 || b.y - Bottom(p) > 2 * xh));
  }
}

}  // namespace

ScanLayout SegmentScan(const Runtime& runtime, const GrayView& page, bool words) {
  ScanLayout layout;
  if (page.width <= 0 || page.height <= 0) return layout;
  const Leptonica& lept = LeptonicaOf(runtime);
  const PixPtr ink = InkOf(lept, page, 128);
  std::vector<PictureBox> boxes = InkParts(lept, ink.get());
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
  // A figure takes in its light greys, as far as they reach without a break to white.
  std::vector<PictureBox> figureBoxes;
  for (const Part& p : parts)
    if (p.figure) figureBoxes.push_back(p.box);
  if (!figureBoxes.empty()) {
    constexpr int kLightestGreyOfFigures = 250;
    GrowToAreas(lept, figureBoxes, page, kLightestGreyOfFigures);
    auto grown = figureBoxes.begin();
    for (Part& p : parts)
      if (p.figure) p.box = *grown++;
  }
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
        // Dust beside it (no larger than a fifth of the reach) is left out rather than widening it.
        if (5 * p.box.width > reach || 5 * p.box.height > reach) box = Union(box, p.box);
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
  const int wordGap = WordGapOf(lept, ink.get(), xh);
  for (size_t i = 0; i < blocks.size(); ++i)
    if (!layout.lines[i].figure) SetWords(layout.lines[i], blocks[i], wordGap, xh);
  for (size_t i = layout.lines.size(); i-- > 0;)
    if (IsRunningLine(layout, i, page.height))
      layout.lines.erase(layout.lines.begin() + static_cast<std::ptrdiff_t>(i));
  MarkParagraphs(layout);
  if (std::none_of(layout.lines.begin(), layout.lines.end(), [](const ScanLine& l) { return !l.figure; }))
    layout.xHeight = 0;
  return layout;
}

namespace {

// The area of a device page that words are set in: inside the margins, and within it an edge of an
// x-height that no word reaches.
struct SetArea {
  int width = 0, height = 0, edge = 0;
};

SetArea AreaOf(const ReflowOptions& options) {
  const Margins& m = options.margins;
  SetArea area;
  area.width = kDevicePageWidth - m.left - m.right;
  area.height = kDevicePageHeight - m.top - m.bottom;
  area.edge = std::min({options.xHeight, area.width / 4, area.height / 4});
  return area;
}

GrayImage Resized(const GrayView& from, int width, int height) {
  GrayImage to(std::max(1, width), std::max(1, height));
  ResampleGray(from, to, Lanczos3Filter, kLanczos3Support);
  return to;
}

GrayImage CopyOf(const GrayView& from) {
  GrayImage to(from.width, from.height);
  for (int y = 0; y < from.height; ++y) std::copy_n(from.Row(y), from.width, to.Row(y));
  return to;
}

}  // namespace

// Device pages filled line by line with words and figures.
class ReflowSetter::Composer {
 public:
  Composer(const ReflowOptions& options, std::function<void(Bitmap&)> takePage)
      : options_(options), takePage_(std::move(takePage)), area_(AreaOf(options)) {
    Clear();
  }

  int Pages() const { return pages_; }

  void Add(ScaledPage page) {
    bool first = true;
    for (SetPiece& piece : page.pieces) {
      if (piece.figure) {
        AddFigure(piece.picture.View());
      } else {
        // The paragraph the page before ended with goes on, unless it ended short or with a figure.
        const bool ended =
            lastRoom_ && (*lastRoom_ < 0 || *lastRoom_ > piece.picture.Width() + options_.xHeight);
        if (piece.paragraphStart || (first && ended)) StartParagraph();
        AddWord(std::move(piece.picture), piece.ascent);
      }
      first = false;
    }
    if (!page.pieces.empty()) lastRoom_ = page.endRoom;
  }

  void EndLine() {
    if (words_.empty()) {
      lineX_ = 0;
      return;
    }
    int ascent = 0, descent = 0;
    for (const Placed& w : words_) {
      ascent = std::max(ascent, w.ascent);
      descent = std::max(descent, w.from.Height() - w.ascent);
    }
    if (y_ + ascent + descent > area_.height - area_.edge && y_ > area_.edge) EndPage();
    for (const Placed& w : words_) Place(w.from.View(), area_.edge + w.x, y_ + ascent - w.ascent);
    y_ += ascent + descent + Leading();
    words_.clear();
    lineX_ = 0;
  }

  void EndPage() {
    if (y_ <= area_.edge) return;
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
    GrayImage from;
    int x, ascent;
  };

  // A word with its baseline `ascent` rows below its top.
  void AddWord(GrayImage word, int ascent) {
    const int usable = area_.width - 2 * area_.edge;
    if (lineX_ + word.Width() > usable && !words_.empty()) EndLine();
    const int width = word.Width();
    words_.push_back({std::move(word), lineX_, ascent});
    lineX_ += std::min(width, usable) + std::max(2, options_.xHeight * 4 / 5);
  }

  void StartParagraph() {
    EndLine();
    lineX_ = 2 * options_.xHeight;
  }

  void AddFigure(const GrayView& figure) {
    EndLine();
    if (y_ + figure.height > area_.height - area_.edge && y_ > area_.edge) EndPage();
    Place(figure, (area_.width - figure.width) / 2, y_);
    y_ += figure.height + Leading();
  }

  int Leading() const { return std::max(1, options_.xHeight * 2 / 5); }

  void Clear() {
    page_ = GrayImage(area_.width, area_.height);
    for (int y = 0; y < area_.height; ++y) std::fill_n(page_.Row(y), area_.width, uint8_t{255});
    y_ = area_.edge;
  }

  // Copies what of `from` falls on the page at x, y.
  void Place(const GrayView& from, int x, int y) {
    const int x0 = std::max(0, x), x1 = std::min(area_.width, x + from.width);
    for (int row = std::max(0, y); row < std::min(area_.height, y + from.height) && x0 < x1; ++row)
      std::copy(from.Row(row - y) + (x0 - x), from.Row(row - y) + (x1 - x), page_.Row(row) + x0);
  }

  const ReflowOptions options_;
  const std::function<void(Bitmap&)> takePage_;
  const SetArea area_;
  GrayImage page_;
  int y_ = 0, lineX_ = 0, pages_ = 0;
  std::vector<Placed> words_;
  std::optional<int> lastRoom_;  // ScaledPage::endRoom of the page set last; none before the first
};

ReflowSetter::ReflowSetter(const ReflowOptions& options, std::function<void(Bitmap& page)> takePage)
    : composer_(std::make_unique<Composer>(options, std::move(takePage))) {}

ReflowSetter::~ReflowSetter() = default;

void ReflowSetter::Add(ScaledPage page) { composer_->Add(std::move(page)); }

void ReflowSetter::Finish() {
  composer_->EndLine();
  composer_->EndPage();
}

int ReflowSetter::Pages() const { return composer_->Pages(); }

ScaledPage ScalePage(const GrayView& page, const ScanLayout& layout, const ReflowOptions& options) {
  ScaledPage scaled;
  if (layout.xHeight <= 0) return scaled;
  // Words are enlarged at most this many times: beyond it a scan's letters are too coarse to read.
  constexpr double kMostEnlargement = 4;
  const double scale = std::min(kMostEnlargement, static_cast<double>(options.xHeight) / layout.xHeight);
  const GrayImage whole = Resized(page, static_cast<int>(std::lround(page.width * scale)),
                                  static_cast<int>(std::lround(page.height * scale)));
  const GrayView view = whole.View();
  // A box of the page in the scaled page's pixels, within it.
  auto scaledBox = [&](const PictureBox& b) {
    const int x0 = std::clamp(static_cast<int>(std::floor(b.x * scale)), 0, view.width - 1);
    const int y0 = std::clamp(static_cast<int>(std::floor(b.y * scale)), 0, view.height - 1);
    const int x1 = std::clamp(static_cast<int>(std::ceil(Right(b) * scale)), x0 + 1, view.width);
    const int y1 = std::clamp(static_cast<int>(std::ceil(Bottom(b) * scale)), y0 + 1, view.height);
    return PictureBox{x0, y0, x1 - x0, y1 - y0};
  };
  const SetArea area = AreaOf(options);
  for (const ScanLine& line : layout.lines) {
    if (line.figure) {
      const PictureBox& b = line.box;
      // A table's letters are set at the words' size; other figures keep theirs, never enlarged.
      const double fit =
          std::min({line.table ? scale : 1.0, static_cast<double>(area.width - 2 * area.edge) / b.width,
                    static_cast<double>(area.height - 2 * area.edge) / b.height});
      scaled.pieces.push_back({Resized(page.Part(b.x, b.y, b.width, b.height),
                                       static_cast<int>(b.width * fit), static_cast<int>(b.height * fit)),
                               0, true, false});
      scaled.endRoom = -1;
      continue;
    }
    bool first = true;
    for (const PictureBox& word : line.words) {
      const PictureBox s = scaledBox(word);
      const int ascent = static_cast<int>(std::lround(line.baseline * scale)) - s.y;
      scaled.pieces.push_back({CopyOf(view.Part(s.x, s.y, s.width, s.height)),
                               std::clamp(ascent, 0, s.height), false, first && line.paragraphStart});
      first = false;
    }
    scaled.endRoom = static_cast<int>(std::lround(line.room * scale));
  }
  return scaled;
}

int ReflowPage(const GrayView& page, const ScanLayout& layout, const ReflowOptions& options,
               const std::function<void(Bitmap& page)>& takePage) {
  ReflowSetter setter(options, takePage);
  setter.Add(ScalePage(page, layout, options));
  setter.Finish();
  return setter.Pages();
}

}  // namespace bookloom
