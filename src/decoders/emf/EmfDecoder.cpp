#include "decoders/emf/EmfDecoder.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <variant>
#include <vector>

#include "decoders/ByteReader.h"
#include "decoders/DibPixels.h"
#include "decoders/emf/CairoHandles.h"
#include "decoders/emf/EmfRecords.h"
#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

using namespace emf;
using std::numbers::pi;

// Map modes: how logical units become device pixels.
constexpr uint32_t kMapText = 1, kMapLoMetric = 2, kMapHiMetric = 3, kMapLoEnglish = 4, kMapHiEnglish = 5,
                   kMapTwips = 6, kMapIsotropic = 7, kMapAnisotropic = 8;
// How a record combines a region with the clipping region; union (2) and exclusive-or (3) are not
// drawn.
constexpr uint32_t kRegionAnd = 1, kRegionDiff = 4, kRegionCopy = 5;
constexpr uint32_t kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2, kBrushPattern = 3;
constexpr uint32_t kHatchHorizontal = 0, kHatchVertical = 1, kHatchForwardDiagonal = 2,
                   kHatchBackwardDiagonal = 3, kHatchCross = 4, kHatchDiagonalCross = 5;
// Pen styles: the line style in the lowest four bits, the end cap and the join above them.
constexpr uint32_t kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3, kPenDashDotDot = 4,
                   kPenNull = 5;
constexpr uint32_t kPenStyleMask = 0xF, kPenEndCapMask = 0xF00, kPenJoinMask = 0xF000;
constexpr uint32_t kPenEndCapSquare = 0x100, kPenEndCapFlat = 0x200, kPenJoinBevel = 0x1000,
                   kPenJoinMiter = 0x2000;
constexpr uint32_t kStockObject = 0x80000000u;
constexpr uint32_t kAlignUpdateCp = 1, kAlignRight = 2, kAlignCenter = 6, kAlignBottom = 8,
                   kAlignBaseline = 24;
constexpr uint32_t kTextOpaque = 2, kTextClipped = 4, kTextGlyphIndex = 0x10, kTextPdy = 0x2000;
constexpr uint32_t kBackgroundOpaque = 2;  // the other background mode, 1, leaves backgrounds unpainted
// Raster operations: how a bitmap, the brush and what is drawn already combine.
constexpr uint32_t kRopSrcCopy = 0xCC0020, kRopSrcAnd = 0x8800C6, kRopSrcPaint = 0xEE0086,
                   kRopSrcInvert = 0x660046, kRopBlackness = 0x000042, kRopWhiteness = 0xFF0062,
                   kRopPatCopy = 0xF00021;
// Ways of changing the world transform.
constexpr uint32_t kWorldIdentity = 1, kWorldLeftMultiply = 2, kWorldRightMultiply = 3, kWorldSet = 4;
constexpr uint32_t kFillWinding = 2;   // the polygon fill mode that is not alternate (1)
constexpr uint32_t kArcClockwise = 2;  // the arc direction that is not counter-clockwise (1)
// The kinds of the points of PolyDraw records: the close-figure bit, and a kind in the bits of kPointKind.
constexpr uint32_t kPointCloseFigure = 1, kPointBezierTo = 4, kPointMoveTo = 6, kPointKind = 6;
constexpr uint32_t kSignature = 0x464D4520;  // " EMF" in the header record
constexpr int kMaxRecords = 2'000'000;
constexpr size_t kMaxSavedStates = 10000;        // further SaveDC records are left out
constexpr size_t kMaxObjects = 100000;           // further objects are not created
constexpr size_t kMaxClipParts = 100;            // further narrowing of the clip is left out
constexpr int64_t kMaxPatternPixels = 64 << 20;  // in all brush bitmaps together

struct Color {
  double r = 0, g = 0, b = 0;
};
Color ColorRef(uint32_t c) {
  return {(c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0};
}

struct Pen {
  uint32_t style = kPenSolid;
  double width = 0;  // logical units; 0 is one pixel
  Color color;
};
struct Brush {
  uint32_t style = kBrushSolid;
  Color color{1, 1, 1};
  uint32_t hatch = 0;
  std::shared_ptr<DibImage> pattern;
};
struct Font {
  int32_t height = 0, escapement = 0, weight = 400;
  bool italic = false;
  std::string face;
};
using GdiObject = std::variant<Pen, Brush, Font>;

// One part of the clipping region: the picture is clipped to the inside of every part.
struct ClipPart {
  PathPtr path;  // in output pixels
  cairo_fill_rule_t rule;
};

// Everything SaveDC keeps.
struct DcState {
  uint32_t mapMode = kMapText;
  double winOrgX = 0, winOrgY = 0, winExtX = 1, winExtY = 1;
  double vpOrgX = 0, vpOrgY = 0, vpExtX = 1, vpExtY = 1;
  cairo_matrix_t world{1, 0, 0, 1, 0, 0};
  Pen pen;
  Brush brush;
  Font font;
  Color textColor, bkColor{1, 1, 1};
  uint32_t bkMode = kBackgroundOpaque;
  uint32_t textAlign = 0;
  bool winding = false;
  bool clockwise = false;
  double curX = 0, curY = 0;
  std::vector<ClipPart> clip;
};

// The stock objects, by the index that SelectObject names them with (the top bit set).
constexpr uint32_t kWhiteBrush = 0, kLightGrayBrush = 1, kGrayBrush = 2, kDarkGrayBrush = 3, kBlackBrush = 4,
                   kNullBrush = 5, kWhitePen = 6, kBlackPen = 7, kNullPen = 8, kOemFixedFont = 10,
                   kAnsiFixedFont = 11, kAnsiVarFont = 12, kSystemFont = 13, kDeviceDefaultFont = 14,
                   kSystemFixedFont = 16, kDefaultGuiFont = 17;

std::optional<GdiObject> StockObject(uint32_t index) {
  auto brush = [](double grey) { return Brush{kBrushSolid, {grey, grey, grey}, 0, nullptr}; };
  switch (index) {
    case kWhiteBrush:
      return brush(1);
    case kLightGrayBrush:
      return brush(0.75);
    case kGrayBrush:
      return brush(0.5);
    case kDarkGrayBrush:
      return brush(0.25);
    case kBlackBrush:
      return brush(0);
    case kNullBrush:
      return Brush{kBrushNull, {}, 0, nullptr};
    case kWhitePen:
      return Pen{kPenSolid, 0, {1, 1, 1}};
    case kBlackPen:
      return Pen{kPenSolid, 0, {}};
    case kNullPen:
      return Pen{kPenNull, 0, {}};
    case kOemFixedFont:
    case kAnsiFixedFont:
    case kSystemFixedFont:
      return Font{0, 0, 400, false, "monospace"};
    case kAnsiVarFont:
    case kSystemFont:
    case kDeviceDefaultFont:
    case kDefaultGuiFont:
      return Font{};
    default:
      return std::nullopt;
  }
}

bool Finite(const cairo_matrix_t& m) {
  for (double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!std::isfinite(v) || std::fabs(v) > 1e9) return false;
  const double det = m.xx * m.yy - m.xy * m.yx;
  return std::fabs(det) > 1e-12;
}

// A byte of 8-bit text as the Western code page reads it (0x80 to 0x9F differ from Latin-1).
char16_t AnsiChar(uint8_t c) {
  static const char16_t k80to9F[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                       0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  return c >= 0x80 && c <= 0x9F ? k80to9F[c - 0x80] : c;
}

class EmfPlayer {
 public:
  EmfPlayer(cairo_t* cr, const cairo_matrix_t& deviceToOutput, double devPerMmX, double devPerMmY, int width,
            int height)
      : cr_(cr),
        deviceToOutput_(deviceToOutput),
        devPerMmX_(devPerMmX),
        devPerMmY_(devPerMmY),
        maxExtent_(4.0 * std::max(width, height)) {}

  void Play(uint32_t type, ByteReader& r);

 private:
  // Transforms.
  cairo_matrix_t PageToDevice() const;
  cairo_matrix_t LogicalToOutput() const;
  bool UseLogical();
  double LogicalScale() const;
  Point ToOutput(double x, double y) const;

  // Drawing.
  void ApplyClip();
  void AddClip(PathPtr path, cairo_fill_rule_t rule, uint32_t mode);
  bool InRange(const std::vector<Point>& logical) const;
  void Draw(const std::vector<Point>& extent, const std::function<void()>& addPath, bool fill, bool stroke);
  void FillAndStroke(bool fill, bool stroke);
  void SetBrushSource(const Brush& brush);
  void SetPen();
  void Shape(ByteReader& r, uint32_t type);
  void Poly(ByteReader& r, uint32_t type);
  void PolyPoly(ByteReader& r, bool shortPoints, bool closed);
  void PolyDraw(ByteReader& r, bool shortPoints);
  void Arc(const int32_t box[4], Point start, Point end, bool connect);
  void Text(ByteReader& r, bool wide);
  void BitmapRecord(ByteReader& r, uint32_t type);
  void DrawDib(std::string_view info, std::string_view bits, double x, double y, double w, double h,
               double sx, double sy, double sw, double sh, uint32_t rop);
  PathPtr RegionPath(ByteReader& r, size_t size, bool deviceUnits);
  void CreateObject(uint32_t type, ByteReader& r);

  cairo_t* cr_;
  cairo_matrix_t deviceToOutput_;
  double devPerMmX_, devPerMmY_;
  double maxExtent_;  // the largest pen width, font size and so on, in output pixels
  DcState dc_;
  std::vector<DcState> saved_;
  std::map<uint32_t, GdiObject> objects_;
  bool inPath_ = false;
  PathPtr path_;
  bool clipDirty_ = false;
  int64_t patternPixels_ = 0;
};

cairo_matrix_t EmfPlayer::PageToDevice() const {
  double sx = 1, sy = 1;
  auto metric = [&](double mmPerUnit) {
    sx = devPerMmX_ * mmPerUnit;
    sy = -devPerMmY_ * mmPerUnit;
  };
  switch (dc_.mapMode) {
    case kMapLoMetric:
      metric(0.1);
      break;
    case kMapHiMetric:
      metric(0.01);
      break;
    case kMapLoEnglish:
      metric(0.254);
      break;
    case kMapHiEnglish:
      metric(0.0254);
      break;
    case kMapTwips:
      metric(25.4 / 1440);
      break;
    case kMapIsotropic:
    case kMapAnisotropic:
      sx = dc_.winExtX != 0 ? dc_.vpExtX / dc_.winExtX : 1;
      sy = dc_.winExtY != 0 ? dc_.vpExtY / dc_.winExtY : 1;
      if (dc_.mapMode == kMapIsotropic) {
        const double s = std::min(std::fabs(sx), std::fabs(sy));
        sx = std::copysign(s, sx);
        sy = std::copysign(s, sy);
      }
      break;
    default:
      break;
  }
  cairo_matrix_t m;
  cairo_matrix_init(&m, sx, 0, 0, sy, dc_.vpOrgX - dc_.winOrgX * sx, dc_.vpOrgY - dc_.winOrgY * sy);
  return m;
}

cairo_matrix_t EmfPlayer::LogicalToOutput() const {
  const cairo_matrix_t page = PageToDevice();
  cairo_matrix_t m;
  cairo_matrix_multiply(&m, &dc_.world, &page);
  cairo_matrix_multiply(&m, &m, &deviceToOutput_);
  return m;
}

// Makes cairo take logical coordinates; false when the transform cannot be used.
bool EmfPlayer::UseLogical() {
  const cairo_matrix_t m = LogicalToOutput();
  if (!Finite(m)) return false;
  cairo_set_matrix(cr_, &m);
  return true;
}

// How many output pixels one logical unit is, on average over both directions.
double EmfPlayer::LogicalScale() const {
  const cairo_matrix_t m = LogicalToOutput();
  return std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
}

Point EmfPlayer::ToOutput(double x, double y) const {
  const cairo_matrix_t m = LogicalToOutput();
  cairo_matrix_transform_point(&m, &x, &y);
  return {x, y};
}

void EmfPlayer::ApplyClip() {
  if (!clipDirty_) return;
  cairo_identity_matrix(cr_);
  cairo_reset_clip(cr_);
  for (const ClipPart& part : dc_.clip) {
    cairo_new_path(cr_);
    cairo_append_path(cr_, part.path.get());
    cairo_set_fill_rule(cr_, part.rule);
    cairo_clip(cr_);
  }
  cairo_new_path(cr_);
  clipDirty_ = false;
}

// Combines a path (in output pixels) with the clipping region. Intersection and replacement are
// exact; a difference is an even-odd cut-out; union and exclusive-or, which parts cannot express,
// leave the region as it is.
void EmfPlayer::AddClip(PathPtr path, cairo_fill_rule_t rule, uint32_t mode) {
  switch (mode) {
    case kRegionCopy:
      dc_.clip = {{std::move(path), rule}};
      break;
    case kRegionAnd:
    case kRegionDiff: {
      if (dc_.clip.size() >= kMaxClipParts) return;
      if (mode == kRegionDiff) {
        cairo_new_path(cr_);
        cairo_identity_matrix(cr_);
        cairo_rectangle(cr_, -1e6, -1e6, 3e6, 3e6);
        cairo_append_path(cr_, path.get());
        path = CopyPath(cr_);
        rule = CAIRO_FILL_RULE_EVEN_ODD;
        cairo_new_path(cr_);
      }
      dc_.clip.push_back({std::move(path), rule});
      // A part more narrows cairo's clip as it is; only a replaced region is applied anew.
      if (!clipDirty_ && !inPath_) {
        cairo_identity_matrix(cr_);
        cairo_new_path(cr_);
        cairo_append_path(cr_, dc_.clip.back().path.get());
        cairo_set_fill_rule(cr_, rule);
        cairo_clip(cr_);
        return;
      }
      break;
    }
    default:
      return;
  }
  clipDirty_ = true;
}

// Adds a figure in logical coordinates: to the open path inside a path bracket, otherwise drawn
// at once with the brush and the pen.
// Whether points land where cairo's fixed-point coordinates still hold them (far beyond any
// picture): figures outside are left out rather than drawn wrong.
bool EmfPlayer::InRange(const std::vector<Point>& logical) const {
  constexpr double kLimit = 1 << 22;
  const cairo_matrix_t m = LogicalToOutput();
  for (Point p : logical) {
    cairo_matrix_transform_point(&m, &p.x, &p.y);
    if (!(std::fabs(p.x) <= kLimit && std::fabs(p.y) <= kLimit)) return false;
  }
  return true;
}

// `extent` holds points whose hull contains the figure.
void EmfPlayer::Draw(const std::vector<Point>& extent, const std::function<void()>& addPath, bool fill,
                     bool stroke) {
  if (!InRange(extent)) return;
  if (!inPath_) {
    ApplyClip();
    cairo_new_path(cr_);
  }
  if (!UseLogical()) return;
  addPath();
  cairo_identity_matrix(cr_);
  if (!inPath_) FillAndStroke(fill, stroke);
}

// An 8 x 8 pixel tile of a hatched brush: the hatch lines in the brush colour over the background
// colour, or over nothing when backgrounds are left unpainted.
SurfacePtr HatchTile(const Brush& brush, const DcState& dc) {
  SurfacePtr tile(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8));
  const ContextPtr context(cairo_create(tile.get()));
  cairo_t* t = context.get();
  if (dc.bkMode == kBackgroundOpaque) {
    cairo_set_source_rgb(t, dc.bkColor.r, dc.bkColor.g, dc.bkColor.b);
    cairo_paint(t);
  }
  cairo_set_source_rgb(t, brush.color.r, brush.color.g, brush.color.b);
  cairo_set_line_width(t, 1);
  cairo_set_antialias(t, CAIRO_ANTIALIAS_NONE);
  const uint32_t h = brush.hatch;
  if (h == kHatchHorizontal || h == kHatchCross) cairo_move_to(t, 0, 3.5), cairo_line_to(t, 8, 3.5);
  if (h == kHatchVertical || h == kHatchCross) cairo_move_to(t, 3.5, 0), cairo_line_to(t, 3.5, 8);
  // The forward diagonal runs from the top left to the bottom right, the backward one the other way.
  if (h == kHatchForwardDiagonal || h == kHatchDiagonalCross) cairo_move_to(t, 0, 0), cairo_line_to(t, 8, 8);
  if (h == kHatchBackwardDiagonal || h == kHatchDiagonalCross) cairo_move_to(t, 0, 8), cairo_line_to(t, 8, 0);
  cairo_stroke(t);
  return tile;
}

// A pattern that repeats `tile` in every direction.
PatternPtr RepeatingPattern(cairo_surface_t* tile) {
  PatternPtr pattern(cairo_pattern_create_for_surface(tile));
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
  return pattern;
}

void EmfPlayer::SetBrushSource(const Brush& brush) {
  if (brush.style == kBrushHatched) {
    const SurfacePtr tile = HatchTile(brush, dc_);
    const PatternPtr pattern = RepeatingPattern(tile.get());
    cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
    cairo_set_source(cr_, pattern.get());
  } else if (brush.style == kBrushPattern && brush.pattern) {
    DibImage& img = *brush.pattern;
    const SurfacePtr bitmap(
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(img.argb.data()),
                                            CAIRO_FORMAT_ARGB32, img.width, img.height, img.width * 4));
    cairo_set_source(cr_, RepeatingPattern(bitmap.get()).get());
  } else {
    cairo_set_source_rgb(cr_, brush.color.r, brush.color.g, brush.color.b);
  }
}

void EmfPlayer::SetPen() {
  const Pen& pen = dc_.pen;
  const double width = std::clamp(pen.width * LogicalScale(), 1.0, maxExtent_);
  cairo_set_line_width(cr_, width);
  cairo_set_source_rgb(cr_, pen.color.r, pen.color.g, pen.color.b);
  static const double dash[] = {6, 2}, dot[] = {1, 1}, dashDot[] = {6, 2, 1, 2},
                      dashDotDot[] = {6, 2, 1, 2, 1, 2};
  const double* pattern = nullptr;
  int count = 0;
  switch (pen.style & kPenStyleMask) {
    case kPenDash:
      pattern = dash, count = 2;
      break;
    case kPenDot:
      pattern = dot, count = 2;
      break;
    case kPenDashDot:
      pattern = dashDot, count = 4;
      break;
    case kPenDashDotDot:
      pattern = dashDotDot, count = 6;
      break;
    default:
      break;
  }
  double scaled[6];
  for (int i = 0; i < count; ++i) scaled[i] = pattern[i] * std::max(width, 1.5);
  cairo_set_dash(cr_, scaled, count, 0);
  const uint32_t cap = pen.style & kPenEndCapMask, join = pen.style & kPenJoinMask;
  cairo_set_line_cap(cr_, cap == kPenEndCapSquare ? CAIRO_LINE_CAP_SQUARE
                          : cap == kPenEndCapFlat ? CAIRO_LINE_CAP_BUTT
                                                  : CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr_, join == kPenJoinBevel   ? CAIRO_LINE_JOIN_BEVEL
                           : join == kPenJoinMiter ? CAIRO_LINE_JOIN_MITER
                                                   : CAIRO_LINE_JOIN_ROUND);
}

void EmfPlayer::FillAndStroke(bool fill, bool stroke) {
  if (fill && dc_.brush.style != kBrushNull) {
    SetBrushSource(dc_.brush);
    cairo_set_fill_rule(cr_, dc_.winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill_preserve(cr_);
  }
  if (stroke && (dc_.pen.style & kPenStyleMask) != kPenNull) {
    SetPen();
    cairo_stroke_preserve(cr_);
  }
  cairo_new_path(cr_);
}

void AddBeziers(cairo_t* cr, const std::vector<Point>& p, size_t from) {
  for (size_t i = from; i + 2 < p.size(); i += 3)
    cairo_curve_to(cr, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, p[i + 2].x, p[i + 2].y);
}

// The poly records with one list of points: Bézier curves, polygons, polylines, and the "to"
// variants that start at the current position and move it.
void EmfPlayer::Poly(ByteReader& r, uint32_t type) {
  const bool shortPoints = type >= kPolyBezier16;
  const uint32_t kind = shortPoints ? type - kPolyBezier16 + kPolyBezier : type;
  r.Skip(16);  // bounds
  const std::vector<Point> p = ReadPoints(r, r.U32LE(), shortPoints);
  if (p.empty()) return;
  const bool to = kind == kPolyBezierTo || kind == kPolylineTo;
  std::vector<Point> extent = p;
  if (to) extent.push_back({dc_.curX, dc_.curY});
  Draw(
      extent,
      [&] {
        if (to) {
          if (!inPath_ || !cairo_has_current_point(cr_)) cairo_move_to(cr_, dc_.curX, dc_.curY);
        } else {
          cairo_move_to(cr_, p[0].x, p[0].y);
        }
        if (kind == kPolyBezier || kind == kPolyBezierTo) {
          AddBeziers(cr_, p, to ? 0 : 1);
        } else {
          for (size_t i = to ? 0 : 1; i < p.size(); ++i) cairo_line_to(cr_, p[i].x, p[i].y);
        }
        if (kind == kPolygon) cairo_close_path(cr_);
      },
      kind == kPolygon, true);
  if (to) dc_.curX = p.back().x, dc_.curY = p.back().y;
}

void EmfPlayer::PolyPoly(ByteReader& r, bool shortPoints, bool closed) {
  r.Skip(16);
  const uint32_t polys = r.U32LE(), total = r.U32LE();
  if (polys > r.Remaining() / 4) r.Fail("a record holds fewer figures than it counts");
  std::vector<uint32_t> counts(polys);
  uint64_t sum = 0;
  for (auto& c : counts) sum += c = r.U32LE();
  if (sum != total) r.Fail("the point counts of a record do not add up");
  const std::vector<Point> p = ReadPoints(r, total, shortPoints);
  Draw(
      p,
      [&] {
        size_t at = 0;
        for (uint32_t c : counts) {
          for (uint32_t i = 0; i < c; ++i, ++at)
            i == 0 ? cairo_move_to(cr_, p[at].x, p[at].y) : cairo_line_to(cr_, p[at].x, p[at].y);
          if (closed && c) cairo_close_path(cr_);
        }
      },
      closed, true);
}

void EmfPlayer::PolyDraw(ByteReader& r, bool shortPoints) {
  r.Skip(16);
  const uint32_t count = r.U32LE();
  const std::vector<Point> p = ReadPoints(r, count, shortPoints);
  const std::string_view types = r.Bytes(count);
  std::vector<Point> extent = p;
  extent.push_back({dc_.curX, dc_.curY});
  Draw(
      extent,
      [&] {
        cairo_move_to(cr_, dc_.curX, dc_.curY);
        for (size_t i = 0; i < p.size(); ++i) {
          const uint8_t t = static_cast<uint8_t>(types[i]);
          if ((t & kPointKind) == kPointMoveTo) {
            cairo_move_to(cr_, p[i].x, p[i].y);
          } else if ((t & kPointKind) == kPointBezierTo && i + 2 < p.size()) {
            cairo_curve_to(cr_, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, p[i + 2].x, p[i + 2].y);
            i += 2;
          } else {
            cairo_line_to(cr_, p[i].x, p[i].y);
          }
          if (t & kPointCloseFigure) cairo_close_path(cr_);
        }
      },
      false, true);
  if (!p.empty()) dc_.curX = p.back().x, dc_.curY = p.back().y;
}

// An elliptic arc inside a box from the radial through `start` to the radial through `end`, in the
// current arc direction as seen on the page.
void EmfPlayer::Arc(const int32_t box[4], Point start, Point end, bool connect) {
  const double cx = (double(box[0]) + box[2]) / 2, cy = (double(box[1]) + box[3]) / 2;
  const double rx = std::fabs(double(box[2]) - box[0]) / 2, ry = std::fabs(double(box[3]) - box[1]) / 2;
  if (rx < 1e-9 || ry < 1e-9) return;
  const double a1 = std::atan2((start.y - cy) / ry, (start.x - cx) / rx);
  const double a2 = std::atan2((end.y - cy) / ry, (end.x - cx) / rx);
  const cairo_matrix_t m = LogicalToOutput();
  const bool flipped = m.xx * m.yy - m.xy * m.yx < 0;
  // With y pointing down on the page, counter-clockwise means decreasing angles.
  const bool decreasing = dc_.clockwise == flipped;
  cairo_save(cr_);
  cairo_translate(cr_, cx, cy);
  cairo_scale(cr_, rx, ry);
  if (!connect) cairo_new_sub_path(cr_);
  if (decreasing)
    cairo_arc_negative(cr_, 0, 0, 1, a1, a2 >= a1 ? a2 - 2 * pi : a2);
  else
    cairo_arc(cr_, 0, 0, 1, a1, a2 <= a1 ? a2 + 2 * pi : a2);
  cairo_restore(cr_);
}

// Rectangles, ellipses, rounded rectangles, arcs, chords and pies: a box and what it needs.
void EmfPlayer::Shape(ByteReader& r, uint32_t type) {
  int32_t box[4];
  for (auto& v : box) v = r.I32LE();
  const double l = std::min(box[0], box[2]), t = std::min(box[1], box[3]);
  const double w = std::fabs(double(box[2]) - box[0]), h = std::fabs(double(box[3]) - box[1]);
  std::vector<Point> corners{{l, t}, {l + w, t}, {l, t + h}, {l + w, t + h}};
  switch (type) {
    case kRectangle:
      Draw(
          corners, [&] { cairo_rectangle(cr_, l, t, w, h); }, true, true);
      return;
    case kEllipse:
      Draw(
          corners,
          [&] {
            const Point right{l + w, t + h / 2};
            Arc(box, right, right, false);
            cairo_close_path(cr_);
          },
          true, true);
      return;
    case kRoundRect: {
      const double cw = std::min(std::fabs(double(r.I32LE())), w),
                   ch = std::min(std::fabs(double(r.I32LE())), h);
      Draw(
          corners,
          [&] {
            if (cw < 1e-9 || ch < 1e-9) return cairo_rectangle(cr_, l, t, w, h);
            cairo_save(cr_);
            cairo_new_sub_path(cr_);
            auto corner = [&](double x, double y, double from) {
              cairo_save(cr_);
              cairo_translate(cr_, x, y);
              cairo_scale(cr_, cw / 2, ch / 2);
              cairo_arc(cr_, 0, 0, 1, from, from + pi / 2);
              cairo_restore(cr_);
            };
            corner(l + w - cw / 2, t + ch / 2, -pi / 2);
            corner(l + w - cw / 2, t + h - ch / 2, 0);
            corner(l + cw / 2, t + h - ch / 2, pi / 2);
            corner(l + cw / 2, t + ch / 2, pi);
            cairo_close_path(cr_);
            cairo_restore(cr_);
          },
          true, true);
      return;
    }
    default: {  // arc, chord, pie and arc-to
      const Point start{double(r.I32LE()), double(r.I32LE())};
      const Point end{double(r.I32LE()), double(r.I32LE())};
      const double cx = (double(box[0]) + box[2]) / 2, cy = (double(box[1]) + box[3]) / 2;
      if (type == kArcTo) corners.push_back({dc_.curX, dc_.curY});
      Draw(
          corners,
          [&] {
            if (type == kPie) cairo_move_to(cr_, cx, cy);
            if (type == kArcTo) cairo_move_to(cr_, dc_.curX, dc_.curY);
            Arc(box, start, end, type == kPie || type == kArcTo);
            if (type == kChord || type == kPie) cairo_close_path(cr_);
          },
          type == kChord || type == kPie, true);
      if (type == kArcTo) {
        // The current position moves to the arc's end: where the end radial meets the ellipse.
        const double rx = w / 2, ry = h / 2,
                     a = std::atan2((end.y - cy) / std::max(ry, 1e-9), (end.x - cx) / std::max(rx, 1e-9));
        dc_.curX = cx + rx * std::cos(a);
        dc_.curY = cy + ry * std::sin(a);
      }
    }
  }
}

void EmfPlayer::Text(ByteReader& r, bool wide) {
  r.Skip(16 + 12);  // bounds, graphics mode and scales
  const double refX = r.I32LE(), refY = r.I32LE();
  const uint32_t chars = r.U32LE(), offString = r.U32LE(), options = r.U32LE();
  int32_t rect[4];
  for (auto& v : rect) v = r.I32LE();
  const uint32_t offDx = r.U32LE();
  if (chars > r.Size()) r.Fail("a text record holds fewer characters than it counts");
  std::u16string text;
  r.Seek(offString);
  for (uint32_t i = 0; i < chars; ++i) text += wide ? static_cast<char16_t>(r.U16LE()) : AnsiChar(r.U8());
  std::vector<double> dx;
  if (offDx != 0 && chars > 0) {
    r.Seek(offDx);
    for (uint32_t i = 0; i < chars; ++i) {
      dx.push_back(r.I32LE());
      if (options & kTextPdy) r.I32LE();
    }
  }

  if (!InRange({{refX, refY},
                {dc_.curX, dc_.curY},
                {double(rect[0]), double(rect[1])},
                {double(rect[2]), double(rect[3])},
                {double(rect[0]), double(rect[3])},
                {double(rect[2]), double(rect[1])}}))
    return;
  ApplyClip();
  if (!UseLogical()) return;
  const cairo_matrix_t m = LogicalToOutput();
  cairo_identity_matrix(cr_);
  auto logicalRect = [&] {
    UseLogical();
    cairo_rectangle(cr_, std::min(rect[0], rect[2]), std::min(rect[1], rect[3]),
                    std::fabs(double(rect[2]) - rect[0]), std::fabs(double(rect[3]) - rect[1]));
    cairo_identity_matrix(cr_);
  };
  if (options & kTextOpaque) {
    cairo_new_path(cr_);
    logicalRect();
    cairo_set_source_rgb(cr_, dc_.bkColor.r, dc_.bkColor.g, dc_.bkColor.b);
    cairo_fill(cr_);
  }
  if (text.empty() || (options & kTextGlyphIndex)) return;

  const Font& font = dc_.font;
  const double yScale = std::hypot(m.xy, m.yy), xScale = std::hypot(m.xx, m.yx);
  double em = font.height < 0 ? -double(font.height) : font.height > 0 ? font.height * 0.8 : 12;
  em *= yScale;
  if (!(em >= 0.5) || em > maxExtent_) return;
  const Point at = (dc_.textAlign & kAlignUpdateCp) ? ToOutput(dc_.curX, dc_.curY) : ToOutput(refX, refY);
  const double angle = std::atan2(m.yx, m.xx) - font.escapement * pi / 1800;

  cairo_save(cr_);
  if (options & kTextClipped) {
    cairo_new_path(cr_);
    logicalRect();
    cairo_clip(cr_);
  }
  cairo_select_font_face(cr_, font.face.empty() ? "sans-serif" : font.face.c_str(),
                         font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         font.weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, em);
  cairo_translate(cr_, at.x, at.y);
  cairo_rotate(cr_, angle);
  const std::string utf8 = Utf16ToUtf8(text);
  cairo_font_extents_t fe;
  cairo_font_extents(cr_, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr_, utf8.c_str(), &te);
  double advance = te.x_advance;
  if (!dx.empty()) {
    advance = 0;
    for (double d : dx) advance += d * xScale;
    // A substitute font wider than the file's: its glyphs are narrowed to the given spacing.
    if (advance > 0 && te.x_advance > advance * 1.05) {
      cairo_matrix_t fm;
      cairo_matrix_init_scale(&fm, em * advance / te.x_advance, em);
      cairo_set_font_matrix(cr_, &fm);
    }
  }
  const uint32_t align = dc_.textAlign;
  const double x0 = (align & kAlignCenter) == kAlignCenter ? -advance / 2
                    : (align & kAlignRight)                ? -advance
                                                           : 0;
  const double y0 = (align & kAlignBaseline) == kAlignBaseline ? 0
                    : (align & kAlignBottom)                   ? -fe.descent
                                                               : fe.ascent;
  if (dc_.bkMode == kBackgroundOpaque && !(options & kTextOpaque)) {
    cairo_rectangle(cr_, x0, y0 - fe.ascent, advance, fe.ascent + fe.descent);
    cairo_set_source_rgb(cr_, dc_.bkColor.r, dc_.bkColor.g, dc_.bkColor.b);
    cairo_fill(cr_);
  }
  cairo_set_source_rgb(cr_, dc_.textColor.r, dc_.textColor.g, dc_.textColor.b);
  if (dx.empty()) {
    cairo_move_to(cr_, x0, y0);
    cairo_show_text(cr_, utf8.c_str());
  } else {
    // Each character at the place the record gives it.
    double x = x0;
    for (size_t i = 0; i < text.size(); ++i) {
      const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] < 0xDC00;
      const std::string one = Utf16ToUtf8(std::u16string_view(text).substr(i, pair ? 2 : 1));
      cairo_move_to(cr_, x, y0);
      cairo_show_text(cr_, one.c_str());
      x += dx[i] * xScale;
      if (pair) x += dx[++i] * xScale;
    }
  }
  cairo_restore(cr_);
  if (align & kAlignUpdateCp) dc_.curX += advance / std::max(xScale, 1e-9);
}

// Draws the part (sx, sy, sw, sh) of a bitmap into the logical rectangle (x, y, w, h).
void EmfPlayer::DrawDib(std::string_view info, std::string_view bits, double x, double y, double w, double h,
                        double sx, double sy, double sw, double sh, uint32_t rop) {
  std::optional<DibImage> img = DecodeDib(info, bits, kMaxPicturePixels);
  if (!img || std::fabs(w) < 1e-9 || std::fabs(h) < 1e-9 || std::fabs(sw) < 1e-9 || std::fabs(sh) < 1e-9)
    return;
  if (img->bottomUp) sy = img->height - sy - sh;  // source rows count from the bottom row
  if (!InRange({{x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}})) return;
  ApplyClip();
  cairo_new_path(cr_);
  if (!UseLogical()) return;
  const SurfacePtr bitmap(
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(img->argb.data()),
                                          CAIRO_FORMAT_ARGB32, img->width, img->height, img->width * 4));
  cairo_save(cr_);
  cairo_translate(cr_, x, y);
  cairo_scale(cr_, w / sw, h / sh);
  cairo_translate(cr_, -sx, -sy);
  cairo_rectangle(cr_, sx, sy, sw, sh);
  cairo_set_source_surface(cr_, bitmap.get(), 0, 0);
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  // Raster operations that combine with what is there, as near as blending comes.
  switch (rop) {
    case kRopSrcAnd:  // source AND destination
      cairo_set_operator(cr_, CAIRO_OPERATOR_MULTIPLY);
      break;
    case kRopSrcPaint:  // source OR destination
      cairo_set_operator(cr_, CAIRO_OPERATOR_LIGHTEN);
      break;
    case kRopSrcInvert:  // source XOR destination
      cairo_set_operator(cr_, CAIRO_OPERATOR_DIFFERENCE);
      break;
    default:
      break;
  }
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void EmfPlayer::BitmapRecord(ByteReader& r, uint32_t type) {
  r.Skip(16);  // bounds
  auto part = [&r](uint32_t offset, uint32_t size) {
    if (size == 0) return std::string_view();
    if (offset > r.Size() || size > r.Size() - offset) r.Fail("a bitmap lies outside its record");
    return r.All().substr(offset, size);
  };
  if (type == kStretchDiBits || type == kSetDiBitsToDevice) {
    const double x = r.I32LE(), y = r.I32LE(), sx = r.I32LE(), sy = r.I32LE(), sw = r.I32LE(), sh = r.I32LE();
    const uint32_t offBmi = r.U32LE(), cbBmi = r.U32LE(), offBits = r.U32LE(), cbBits = r.U32LE();
    r.U32LE();  // usage of the colour table
    if (type == kSetDiBitsToDevice) {
      DrawDib(part(offBmi, cbBmi), part(offBits, cbBits), x, y, sw, sh, sx, sy, sw, sh, kRopSrcCopy);
      return;
    }
    const uint32_t rop = r.U32LE();
    const double w = r.I32LE(), h = r.I32LE();
    DrawDib(part(offBmi, cbBmi), part(offBits, cbBits), x, y, w, h, sx, sy, sw, sh, rop);
    return;
  }
  // Bit block transfers: a destination, a raster operation and perhaps a source bitmap.
  const double x = r.I32LE(), y = r.I32LE(), w = r.I32LE(), h = r.I32LE();
  const uint32_t rop = r.U32LE();
  const double sx = r.I32LE(), sy = r.I32LE();
  r.Skip(24 + 4 + 4);  // source transform, background colour, usage
  const uint32_t offBmi = r.U32LE(), cbBmi = r.U32LE(), offBits = r.U32LE(), cbBits = r.U32LE();
  double sw = w, sh = h;
  if (type == kStretchBlt) sw = r.I32LE(), sh = r.I32LE();
  if (cbBmi != 0) {
    DrawDib(part(offBmi, cbBmi), part(offBits, cbBits), x, y, w, h, sx, sy, sw, sh, rop);
    return;
  }
  // No source: the destination is painted with the brush, black or white.
  Brush paint = dc_.brush;
  if (rop == kRopBlackness)
    paint = {kBrushSolid, {0, 0, 0}, 0, nullptr};
  else if (rop == kRopWhiteness)
    paint = {kBrushSolid, {1, 1, 1}, 0, nullptr};
  else if (rop != kRopPatCopy)
    return;
  std::swap(paint, dc_.brush);
  Draw(
      {{x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}}, [&] { cairo_rectangle(cr_, x, y, w, h); }, true,
      false);
  std::swap(paint, dc_.brush);
}

// The rectangles of region data as one path in output pixels.
PathPtr EmfPlayer::RegionPath(ByteReader& r, size_t size, bool deviceUnits) {
  ByteReader data = r.Sub(size);
  data.Skip(8);
  const uint32_t count = data.U32LE();
  data.Skip(4 + 16);
  if (count > data.Remaining() / 16) data.Fail("a region holds fewer rectangles than it counts");
  cairo_new_path(cr_);
  if (deviceUnits) {
    cairo_set_matrix(cr_, &deviceToOutput_);
  } else if (!UseLogical()) {
    return nullptr;
  }
  for (uint32_t i = 0; i < count; ++i) {
    const double l = data.I32LE(), t = data.I32LE(), rr = data.I32LE(), b = data.I32LE();
    // Rectangles far outside the picture would overflow cairo's coordinates: they are left out.
    double x0 = l, y0 = t, x1 = rr, y1 = b;
    cairo_user_to_device(cr_, &x0, &y0);
    cairo_user_to_device(cr_, &x1, &y1);
    if (std::fabs(x0) > 1 << 22 || std::fabs(y0) > 1 << 22 || std::fabs(x1) > 1 << 22 ||
        std::fabs(y1) > 1 << 22)
      continue;
    cairo_rectangle(cr_, l, t, rr - l, b - t);
  }
  cairo_identity_matrix(cr_);
  PathPtr path = CopyPath(cr_);
  cairo_new_path(cr_);
  return path;
}

void EmfPlayer::CreateObject(uint32_t type, ByteReader& r) {
  const uint32_t index = r.U32LE();
  switch (type) {
    case kCreatePen: {
      const uint32_t style = r.U32LE();
      const int32_t width = r.I32LE();
      r.I32LE();
      objects_[index] = Pen{style, std::fabs(double(width)), ColorRef(r.U32LE())};
      break;
    }
    case kExtCreatePen: {
      r.Skip(16);  // the brush bitmap of the pen, not used
      const uint32_t style = r.U32LE(), width = r.U32LE(), brushStyle = r.U32LE();
      const Color color = ColorRef(r.U32LE());
      objects_[index] = Pen{brushStyle == kBrushNull ? kPenNull : style, double(width), color};
      break;
    }
    case kCreateBrushIndirect: {
      const uint32_t style = r.U32LE();
      const Color color = ColorRef(r.U32LE());
      const uint32_t hatch = r.U32LE();
      objects_[index] =
          Brush{style == kBrushHatched || style == kBrushNull ? style : kBrushSolid, color, hatch, nullptr};
      break;
    }
    case kCreateMonoBrush:
    case kCreateDibPatternBrushPt: {
      r.U32LE();  // usage
      const uint32_t offBmi = r.U32LE(), cbBmi = r.U32LE(), offBits = r.U32LE(), cbBits = r.U32LE();
      if (offBmi > r.Size() || cbBmi > r.Size() - offBmi || offBits > r.Size() || cbBits > r.Size() - offBits)
        r.Fail("a brush bitmap lies outside its record");
      auto img = DecodeDib(r.All().substr(offBmi, cbBmi), r.All().substr(offBits, cbBits),
                           std::min<int64_t>(1 << 20, kMaxPatternPixels - patternPixels_));
      if (img) patternPixels_ += int64_t(img->width) * img->height;
      objects_[index] = img ? Brush{kBrushPattern, {}, 0, std::make_shared<DibImage>(std::move(*img))}
                            : Brush{kBrushSolid, {0.5, 0.5, 0.5}, 0, nullptr};
      break;
    }
    case kExtCreateFontIndirectW: {
      Font f;
      f.height = r.I32LE();
      r.I32LE();
      f.escapement = r.I32LE();
      r.I32LE();
      f.weight = r.I32LE();
      f.italic = r.U8() != 0;
      r.Skip(7);
      std::u16string face;
      for (int i = 0; i < 32; ++i) {
        const char16_t c = static_cast<char16_t>(r.U16LE());
        if (c == 0) break;
        face += c;
      }
      f.face = Utf16ToUtf8(face);
      objects_[index] = f;
      break;
    }
  }
}

void EmfPlayer::Play(uint32_t type, ByteReader& r) {
  switch (type) {
    case kPolyBezier:
    case kPolygon:
    case kPolyline:
    case kPolyBezierTo:
    case kPolylineTo:
    case kPolyBezier16:
    case kPolygon16:
    case kPolyline16:
    case kPolyBezierTo16:
    case kPolylineTo16:
      Poly(r, type);
      break;
    case kPolyPolyline:
    case kPolyPolygon:
      PolyPoly(r, false, type == kPolyPolygon);
      break;
    case kPolyPolyline16:
    case kPolyPolygon16:
      PolyPoly(r, true, type == kPolyPolygon16);
      break;
    case kPolyDraw:
    case kPolyDraw16:
      PolyDraw(r, type == kPolyDraw16);
      break;
    case kSetWindowExtEx: {
      const Point p = ReadPoint(r);
      dc_.winExtX = p.x, dc_.winExtY = p.y;
      break;
    }
    case kSetWindowOrgEx: {
      const Point p = ReadPoint(r);
      dc_.winOrgX = p.x, dc_.winOrgY = p.y;
      break;
    }
    case kSetViewportExtEx: {
      const Point p = ReadPoint(r);
      dc_.vpExtX = p.x, dc_.vpExtY = p.y;
      break;
    }
    case kSetViewportOrgEx: {
      const Point p = ReadPoint(r);
      dc_.vpOrgX = p.x, dc_.vpOrgY = p.y;
      break;
    }
    case kScaleViewportExtEx:
    case kScaleWindowExtEx: {
      const double xNum = r.I32LE(), xDenom = r.I32LE(), yNum = r.I32LE(), yDenom = r.I32LE();
      if (xDenom == 0 || yDenom == 0) break;
      double& ex = type == kScaleViewportExtEx ? dc_.vpExtX : dc_.winExtX;
      double& ey = type == kScaleViewportExtEx ? dc_.vpExtY : dc_.winExtY;
      ex = ex * xNum / xDenom;
      ey = ey * yNum / yDenom;
      break;
    }
    case kSetPixelV: {
      const Point p = ReadPoint(r);
      const Color c = ColorRef(r.U32LE());
      ApplyClip();
      const Point o = ToOutput(p.x, p.y);
      if (!InRange({p})) break;
      cairo_new_path(cr_);
      cairo_rectangle(cr_, std::floor(o.x), std::floor(o.y), 1, 1);
      cairo_set_source_rgb(cr_, c.r, c.g, c.b);
      cairo_fill(cr_);
      break;
    }
    case kSetMapMode:
      dc_.mapMode = r.U32LE();
      break;
    case kSetBkMode:
      dc_.bkMode = r.U32LE();
      break;
    case kSetPolyFillMode:
      dc_.winding = r.U32LE() == kFillWinding;
      break;
    case kSetTextAlign:
      dc_.textAlign = r.U32LE();
      break;
    case kSetTextColor:
      dc_.textColor = ColorRef(r.U32LE());
      break;
    case kSetBkColor:
      dc_.bkColor = ColorRef(r.U32LE());
      break;
    case kSetArcDirection:
      dc_.clockwise = r.U32LE() == kArcClockwise;
      break;
    case kMoveToEx: {
      const Point p = ReadPoint(r);
      dc_.curX = p.x, dc_.curY = p.y;
      if (inPath_ && UseLogical()) cairo_move_to(cr_, p.x, p.y), cairo_identity_matrix(cr_);
      break;
    }
    case kLineTo: {
      const Point p = ReadPoint(r);
      Draw(
          {p, {dc_.curX, dc_.curY}},
          [&] {
            if (!inPath_ || !cairo_has_current_point(cr_)) cairo_move_to(cr_, dc_.curX, dc_.curY);
            cairo_line_to(cr_, p.x, p.y);
          },
          false, true);
      dc_.curX = p.x, dc_.curY = p.y;
      break;
    }
    case kAngleArc: {
      const Point c = ReadPoint(r);
      const double radius = r.U32LE();
      double start = r.F32LE(), sweep = r.F32LE();
      if (!std::isfinite(start) || !std::isfinite(sweep)) break;
      // More than a full turn draws the same circle again.
      start = std::fmod(start, 360.0) * pi / 180;
      sweep = std::clamp(sweep, -360.0, 360.0) * pi / 180;
      Draw(
          {{dc_.curX, dc_.curY},
           {c.x - radius, c.y - radius},
           {c.x + radius, c.y + radius},
           {c.x - radius, c.y + radius},
           {c.x + radius, c.y - radius}},
          [&] {
            cairo_move_to(cr_, dc_.curX, dc_.curY);
            // Angles run counter-clockwise on the page, where y points down.
            if (sweep >= 0)
              cairo_arc_negative(cr_, c.x, c.y, radius, -start, -start - sweep);
            else
              cairo_arc(cr_, c.x, c.y, radius, -start, -start - sweep);
          },
          false, true);
      dc_.curX = c.x + radius * std::cos(start + sweep);
      dc_.curY = c.y - radius * std::sin(start + sweep);
      break;
    }
    case kEllipse:
    case kRectangle:
    case kRoundRect:
    case kArc:
    case kChord:
    case kPie:
    case kArcTo:
      Shape(r, type);
      break;
    case kExcludeClipRect:
    case kIntersectClipRect: {
      const double l = r.I32LE(), t = r.I32LE(), rr = r.I32LE(), b = r.I32LE();
      if (!InRange({{l, t}, {rr, t}, {l, b}, {rr, b}}) || !UseLogical()) break;
      cairo_new_path(cr_);
      cairo_rectangle(cr_, l, t, rr - l, b - t);
      cairo_identity_matrix(cr_);
      AddClip(CopyPath(cr_), CAIRO_FILL_RULE_WINDING, type == kIntersectClipRect ? kRegionAnd : kRegionDiff);
      cairo_new_path(cr_);
      break;
    }
    case kExtSelectClipRgn: {
      const uint32_t size = r.U32LE(), mode = r.U32LE();
      if (size < 32) {
        if (mode == kRegionCopy) dc_.clip.clear(), clipDirty_ = true;
        break;
      }
      if (PathPtr p = RegionPath(r, size, true)) AddClip(p, CAIRO_FILL_RULE_WINDING, mode);
      break;
    }
    case kFillRgn:
    case kPaintRgn: {
      r.Skip(16);
      const uint32_t size = r.U32LE();
      Brush brush = dc_.brush;
      if (type == kFillRgn) {
        const auto found = objects_.find(r.U32LE());
        if (found == objects_.end() || !std::holds_alternative<Brush>(found->second)) break;
        brush = std::get<Brush>(found->second);
      }
      ApplyClip();
      if (PathPtr p = RegionPath(r, size, false)) {
        cairo_append_path(cr_, p.get());
        SetBrushSource(brush);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr_);
      }
      break;
    }
    case kSelectClipPath: {
      const uint32_t mode = r.U32LE();
      if (path_) AddClip(path_, dc_.winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD, mode);
      path_.reset();
      break;
    }
    case kSaveDc:
      if (saved_.size() < kMaxSavedStates) saved_.push_back(dc_);
      break;
    case kRestoreDc: {
      const int32_t n = r.I32LE();
      // A negative number counts back from the latest saved state; a positive one names a level.
      const int64_t keep = n < 0 ? int64_t(saved_.size()) + n : int64_t(n) - 1;
      if (keep < 0 || keep >= int64_t(saved_.size())) break;
      dc_ = saved_[keep];
      saved_.resize(keep);
      clipDirty_ = true;
      break;
    }
    case kSetWorldTransform:
    case kModifyWorldTransform: {
      cairo_matrix_t x;
      x.xx = r.F32LE(), x.yx = r.F32LE(), x.xy = r.F32LE(), x.yy = r.F32LE(), x.x0 = r.F32LE(),
      x.y0 = r.F32LE();
      const uint32_t mode = type == kSetWorldTransform ? kWorldSet : r.U32LE();
      if (mode == kWorldIdentity)
        cairo_matrix_init_identity(&dc_.world);
      else if (mode == kWorldLeftMultiply)
        cairo_matrix_multiply(&dc_.world, &x, &dc_.world);
      else if (mode == kWorldRightMultiply)
        cairo_matrix_multiply(&dc_.world, &dc_.world, &x);
      else if (mode == kWorldSet)
        dc_.world = x;
      break;
    }
    case kSelectObject: {
      const uint32_t index = r.U32LE();
      std::optional<GdiObject> object =
          (index & kStockObject) ? StockObject(index & ~kStockObject) : std::nullopt;
      if (!(index & kStockObject))
        if (auto found = objects_.find(index); found != objects_.end()) object = found->second;
      if (!object) break;
      if (auto* pen = std::get_if<Pen>(&*object)) dc_.pen = *pen;
      if (auto* brush = std::get_if<Brush>(&*object)) dc_.brush = *brush;
      if (auto* font = std::get_if<Font>(&*object)) dc_.font = *font;
      break;
    }
    case kDeleteObject:
      objects_.erase(r.U32LE());
      break;
    case kCreatePen:
    case kExtCreatePen:
    case kCreateBrushIndirect:
    case kCreateMonoBrush:
    case kCreateDibPatternBrushPt:
    case kExtCreateFontIndirectW:
      if (objects_.size() < kMaxObjects) CreateObject(type, r);
      break;
    case kBeginPath:
      inPath_ = true;
      path_.reset();
      cairo_new_path(cr_);
      break;
    case kEndPath:
      if (!inPath_) break;
      inPath_ = false;
      path_ = CopyPath(cr_);
      cairo_new_path(cr_);
      break;
    case kAbortPath:
      inPath_ = false;
      path_.reset();
      cairo_new_path(cr_);
      break;
    case kCloseFigure:
      if (inPath_) cairo_close_path(cr_);
      break;
    case kFillPath:
    case kStrokePath:
    case kStrokeAndFillPath:
      if (!path_ || inPath_) break;
      ApplyClip();
      cairo_new_path(cr_);
      cairo_append_path(cr_, path_.get());
      FillAndStroke(type != kStrokePath, type != kFillPath);
      path_.reset();
      break;
    case kBitBlt:
    case kStretchBlt:
    case kSetDiBitsToDevice:
    case kStretchDiBits:
      BitmapRecord(r, type);
      break;
    case kExtTextOutA:
    case kExtTextOutW:
      Text(r, type == kExtTextOutW);
      break;
    default:
      break;  // records without an effect on the picture, and those not known
  }
}

}  // namespace

std::unique_ptr<Graphic> DecodeEmf(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels) {
  ByteReader in(bytes, nameForMessages);
  if (in.Size() < 88 || in.U32LE() != kHeader) in.Fail("it is not an enhanced metafile (no header record)");
  const uint32_t headerSize = in.U32LE();
  int32_t bounds[4], frame[4];
  for (auto& v : bounds) v = in.I32LE();
  for (auto& v : frame) v = in.I32LE();
  if (in.U32LE() != kSignature) in.Fail("it is not an enhanced metafile (no \" EMF\" signature)");
  if (headerSize < 88 || headerSize > in.Size() || headerSize % 4)
    in.Fail("the metafile header has a wrong size");
  in.Seek(72);
  const double devX = in.I32LE(), devY = in.I32LE(), mmX = in.I32LE(), mmY = in.I32LE();
  const double devPerMmX = devX > 0 && mmX > 0 ? devX / mmX : 96 / 25.4;
  const double devPerMmY = devY > 0 && mmY > 0 ? devY / mmY : 96 / 25.4;

  // The frame (in hundredths of a millimetre) at 96 dots per inch; without one, the bounds in
  // device pixels.
  double left, top, devWidth, devHeight, width, height;
  const double frameW = double(frame[2]) - frame[0], frameH = double(frame[3]) - frame[1];
  if (frameW > 0 && frameH > 0) {
    left = frame[0] / 100.0 * devPerMmX, top = frame[1] / 100.0 * devPerMmY;
    devWidth = frameW / 100.0 * devPerMmX, devHeight = frameH / 100.0 * devPerMmY;
    width = std::round(frameW * 96 / 2540), height = std::round(frameH * 96 / 2540);
  } else {
    left = bounds[0], top = bounds[1];
    devWidth = width = double(bounds[2]) - bounds[0] + 1,
    devHeight = height = double(bounds[3]) - bounds[1] + 1;
  }
  if (!(width >= 1 && height >= 1)) in.Fail("the picture has no size");
  // Some programs put the drawing (its bounds) beside the frame's place: the frame then moves to
  // the bounds, keeping its size.
  const double boundsW = double(bounds[2]) - bounds[0], boundsH = double(bounds[3]) - bounds[1];
  if (boundsW > 0 && boundsH > 0) {
    const double overlapW = std::min(left + devWidth, double(bounds[2])) - std::max(left, double(bounds[0]));
    const double overlapH = std::min(top + devHeight, double(bounds[3])) - std::max(top, double(bounds[1]));
    if (overlapW <= 0 || overlapH <= 0 || overlapW * overlapH < 0.5 * boundsW * boundsH)
      left = bounds[0], top = bounds[1];
  }
  // Larger than the limits: drawn smaller.
  const double fit = std::min({1.0, kMaxPictureSide / width, kMaxPictureSide / height,
                               std::sqrt(double(std::min(maxPixels, kMaxPicturePixels)) / (width * height))});
  const int w = static_cast<int>(std::max(1.0, std::floor(width * fit + 1e-6)));
  const int h = static_cast<int>(std::max(1.0, std::floor(height * fit + 1e-6)));
  CheckPictureSize(w, h, nameForMessages);

  const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  const ContextPtr context(cairo_create(surface.get()));
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_matrix_t deviceToOutput;
  cairo_matrix_init(&deviceToOutput, w / devWidth, 0, 0, h / devHeight, -left * w / devWidth,
                    -top * h / devHeight);
  EmfPlayer player(cr, deviceToOutput, devPerMmX, devPerMmY, w, h);
  in.Seek(headerSize);
  bool ended = false;
  for (int n = 1; !ended && n < kMaxRecords; ++n) {
    if (in.Remaining() < 8) in.Fail("the metafile ends before its end record");
    const size_t start = in.Pos();
    const uint32_t type = in.U32LE(), size = in.U32LE();
    if (size < 8 || size % 4 || size > in.Size() - start)
      in.Fail("record " + std::to_string(n) + " has a wrong size");
    ByteReader record(bytes.substr(start, size), nameForMessages);
    record.Seek(8);
    try {
      player.Play(type, record);
    } catch (const DecodeError&) {
      in.Fail("record " + std::to_string(n) + " (type " + std::to_string(type) + ") is damaged");
    }
    in.Seek(start + size);
    ended = type == kEof;
  }
  cairo_surface_flush(surface.get());
  auto g = std::make_unique<Graphic>(w, h, false);
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < h; ++y) {
    const auto* px = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    uint8_t* out = g->Row(y);
    for (int x = 0; x < w; ++x, out += 3) {
      out[0] = (px[x] >> 16) & 0xFF;
      out[1] = (px[x] >> 8) & 0xFF;
      out[2] = px[x] & 0xFF;
    }
  }
  return g;
}

}  // namespace bookloom
