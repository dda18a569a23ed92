// Figures: lines, polygons and Bézier curves, rectangles, ellipses and arcs, and single pixels.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "emf/EmfPlayer.h"

namespace bookloom::emf {

namespace {

using std::numbers::pi;

// The kinds of the points of PolyDraw records: the close-figure bit, and a kind in the bits of
// kPointKind.
constexpr uint32_t kPointCloseFigure = 1, kPointBezierTo = 4, kPointMoveTo = 6, kPointKind = 6;

void AddBeziers(cairo_t* cr, const std::vector<Point>& p, size_t from) {
  for (size_t i = from; i + 2 < p.size(); i += 3)
    cairo_curve_to(cr, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, p[i + 2].x, p[i + 2].y);
}

// The box of a shape record, whose edges may come in any order.
Rect ReadBox(ByteReader& r) {
  int32_t edges[4];
  for (auto& v : edges) v = r.I32LE();
  return {double(std::min(edges[0], edges[2])), double(std::min(edges[1], edges[3])),
          std::fabs(double(edges[2]) - edges[0]), std::fabs(double(edges[3]) - edges[1])};
}

Point Center(const Rect& box) { return {box.x + box.w / 2, box.y + box.h / 2}; }

// A rectangle whose corners are quarters of a `cw` x `ch` ellipse.
void AddRoundRect(cairo_t* cr, const Rect& box, double cw, double ch) {
  const double l = box.x, t = box.y, w = box.w, h = box.h;
  if (cw < 1e-9 || ch < 1e-9) return cairo_rectangle(cr, l, t, w, h);
  cairo_save(cr);
  cairo_new_sub_path(cr);
  auto corner = [&](double x, double y, double from) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, cw / 2, ch / 2);
    cairo_arc(cr, 0, 0, 1, from, from + pi / 2);
    cairo_restore(cr);
  };
  corner(l + w - cw / 2, t + ch / 2, -pi / 2);
  corner(l + w - cw / 2, t + h - ch / 2, 0);
  corner(l + cw / 2, t + h - ch / 2, pi / 2);
  corner(l + cw / 2, t + ch / 2, pi);
  cairo_close_path(cr);
  cairo_restore(cr);
}

}  // namespace

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
  if (to) extent.push_back(dc_.position);
  Draw(
      extent,
      [&] {
        if (to) {
          if (!inPath_ || !cairo_has_current_point(cr_)) cairo_move_to(cr_, dc_.position.x, dc_.position.y);
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
  if (to) dc_.position = p.back();
}

// Several polylines or polygons in one record.
void EmfPlayer::PolyPoly(ByteReader& r, uint32_t type) {
  const bool shortPoints = type == kPolyPolyline16 || type == kPolyPolygon16;
  const bool closed = type == kPolyPolygon || type == kPolyPolygon16;
  r.Skip(16);  // bounds
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

// Lines and Bézier curves from the current position, each point with its kind.
void EmfPlayer::PolyDraw(ByteReader& r, uint32_t type) {
  r.Skip(16);  // bounds
  const uint32_t count = r.U32LE();
  const std::vector<Point> p = ReadPoints(r, count, type == kPolyDraw16);
  const std::string_view types = r.Bytes(count);
  std::vector<Point> extent = p;
  extent.push_back(dc_.position);
  Draw(
      extent,
      [&] {
        cairo_move_to(cr_, dc_.position.x, dc_.position.y);
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
  if (!p.empty()) dc_.position = p.back();
}

void EmfPlayer::MoveTo(ByteReader& r, uint32_t) {
  const Point p = ReadPoint(r);
  dc_.position = p;
  if (inPath_ && UseLogical()) cairo_move_to(cr_, p.x, p.y), cairo_identity_matrix(cr_);
}

void EmfPlayer::LineTo(ByteReader& r, uint32_t) {
  const Point p = ReadPoint(r);
  Draw(
      {p, dc_.position},
      [&] {
        if (!inPath_ || !cairo_has_current_point(cr_)) cairo_move_to(cr_, dc_.position.x, dc_.position.y);
        cairo_line_to(cr_, p.x, p.y);
      },
      false, true);
  dc_.position = p;
}

// A line from the current position to the start of an arc of a circle, and the arc.
void EmfPlayer::AngleArc(ByteReader& r, uint32_t) {
  const Point c = ReadPoint(r);
  const double radius = r.U32LE();
  double start = r.F32LE(), sweep = r.F32LE();
  if (!std::isfinite(start) || !std::isfinite(sweep)) return;
  // More than a full turn draws the same circle again.
  start = std::fmod(start, 360.0) * pi / 180;
  sweep = std::clamp(sweep, -360.0, 360.0) * pi / 180;
  Draw(
      {dc_.position,
       {c.x - radius, c.y - radius},
       {c.x + radius, c.y + radius},
       {c.x - radius, c.y + radius},
       {c.x + radius, c.y - radius}},
      [&] {
        cairo_move_to(cr_, dc_.position.x, dc_.position.y);
        // Angles run counter-clockwise on the page, where y points down.
        if (sweep >= 0)
          cairo_arc_negative(cr_, c.x, c.y, radius, -start, -start - sweep);
        else
          cairo_arc(cr_, c.x, c.y, radius, -start, -start - sweep);
      },
      false, true);
  dc_.position = {c.x + radius * std::cos(start + sweep), c.y - radius * std::sin(start + sweep)};
}

void EmfPlayer::Rectangle(ByteReader& r, uint32_t) {
  const Rect box = ReadBox(r);
  Draw(
      box.Corners(), [&] { cairo_rectangle(cr_, box.x, box.y, box.w, box.h); }, true, true);
}

void EmfPlayer::Ellipse(ByteReader& r, uint32_t) {
  const Rect box = ReadBox(r);
  Draw(
      box.Corners(),
      [&] {
        const Point right{box.x + box.w, box.y + box.h / 2};
        AddArc(box, right, right, false);
        cairo_close_path(cr_);
      },
      true, true);
}

void EmfPlayer::RoundRect(ByteReader& r, uint32_t) {
  const Rect box = ReadBox(r);
  const double cw = std::min(std::fabs(double(r.I32LE())), box.w),
               ch = std::min(std::fabs(double(r.I32LE())), box.h);
  Draw(
      box.Corners(), [&] { AddRoundRect(cr_, box, cw, ch); }, true, true);
}

// Arcs, chords (closed by a straight line), pies (closed through the centre) and arcs that start
// with a line from the current position and move it to their end.
void EmfPlayer::Arc(ByteReader& r, uint32_t type) {
  const Rect box = ReadBox(r);
  const Point start = ReadPoint(r), end = ReadPoint(r);
  const Point center = Center(box);
  std::vector<Point> extent = box.Corners();
  if (type == kArcTo) extent.push_back(dc_.position);
  Draw(
      extent,
      [&] {
        if (type == kPie) cairo_move_to(cr_, center.x, center.y);
        if (type == kArcTo) cairo_move_to(cr_, dc_.position.x, dc_.position.y);
        AddArc(box, start, end, type == kPie || type == kArcTo);
        if (type == kChord || type == kPie) cairo_close_path(cr_);
      },
      type == kChord || type == kPie, true);
  if (type == kArcTo) {
    // The current position moves to the arc's end: where the end radial meets the ellipse.
    const double rx = box.w / 2, ry = box.h / 2,
                 a = std::atan2((end.y - center.y) / std::max(ry, 1e-9),
                                (end.x - center.x) / std::max(rx, 1e-9));
    dc_.position = {center.x + rx * std::cos(a), center.y + ry * std::sin(a)};
  }
}

// An elliptic arc inside a box from the radial through `start` to the radial through `end`, in the
// current arc direction as seen on the page; `connect` joins it to the current point by a line.
void EmfPlayer::AddArc(const Rect& box, Point start, Point end, bool connect) {
  const Point center = Center(box);
  const double rx = box.w / 2, ry = box.h / 2;
  if (rx < 1e-9 || ry < 1e-9) return;
  const double a1 = std::atan2((start.y - center.y) / ry, (start.x - center.x) / rx);
  const double a2 = std::atan2((end.y - center.y) / ry, (end.x - center.x) / rx);
  const cairo_matrix_t m = LogicalToOutput();
  const bool flipped = m.xx * m.yy - m.xy * m.yx < 0;
  // With y pointing down on the page, counter-clockwise means decreasing angles.
  const bool decreasing = dc_.clockwise == flipped;
  cairo_save(cr_);
  cairo_translate(cr_, center.x, center.y);
  cairo_scale(cr_, rx, ry);
  if (!connect) cairo_new_sub_path(cr_);
  if (decreasing)
    cairo_arc_negative(cr_, 0, 0, 1, a1, a2 >= a1 ? a2 - 2 * pi : a2);
  else
    cairo_arc(cr_, 0, 0, 1, a1, a2 <= a1 ? a2 + 2 * pi : a2);
  cairo_restore(cr_);
}

// One output pixel in a colour of its own.
void EmfPlayer::SetPixel(ByteReader& r, uint32_t) {
  const Point p = ReadPoint(r);
  const Color c = ColorRef(r.U32LE());
  ApplyClip();
  const Point o = ToOutput(p);
  if (!InRange({p})) return;
  cairo_new_path(cr_);
  cairo_rectangle(cr_, std::floor(o.x), std::floor(o.y), 1, 1);
  cairo_set_source_rgb(cr_, c.r, c.g, c.b);
  cairo_fill(cr_);
}

}  // namespace bookloom::emf
