// Drawing a figure: into the open path inside a path bracket, otherwise at once, filled with the
// brush and outlined with the pen.
#include <algorithm>
#include <cmath>

#include "emf/EmfPlayer.h"

namespace bookloom::emf {

namespace {

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

}  // namespace

// Whether points land where cairo's fixed-point coordinates still hold them.
bool EmfPlayer::InRange(const std::vector<Point>& logical) const {
  const cairo_matrix_t m = LogicalToOutput();
  for (Point p : logical) {
    cairo_matrix_transform_point(&m, &p.x, &p.y);
    if (!(std::fabs(p.x) <= kCoordinateLimit && std::fabs(p.y) <= kCoordinateLimit)) return false;
  }
  return true;
}

// Adds the figure that `addPath` makes in logical coordinates; `extent` holds points whose hull
// contains it. Outside a path bracket the figure is filled when `fill` says so and outlined when
// `stroke` does.
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

// Fills and outlines cairo's current path, as far as the brush and the pen draw anything, and
// clears it.
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

// Sets cairo's source and line to those of the pen.
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

}  // namespace bookloom::emf
