// The clipping region, and the records that narrow it, replace it or paint regions.
#include <cmath>
#include <utility>
#include <variant>

#include "emf/EmfPlayer.h"

namespace bookloom::emf {

namespace {

// How a record combines a region with the clipping region; union (2) and exclusive-or (3) are not
// drawn.
constexpr uint32_t kRegionAnd = 1, kRegionDiff = 4, kRegionCopy = 5;
constexpr uint32_t kRegionHeaderSize = 32;  // before the rectangles of region data
constexpr size_t kMaxClipParts = 100;       // further narrowing of the clip is left out

}  // namespace

// Sets cairo's clip from the clipping region, when that has changed in a way that cairo's clip
// cannot follow.
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
    if (std::fabs(x0) > kCoordinateLimit || std::fabs(y0) > kCoordinateLimit ||
        std::fabs(x1) > kCoordinateLimit || std::fabs(y1) > kCoordinateLimit)
      continue;
    cairo_rectangle(cr_, l, t, rr - l, b - t);
  }
  cairo_identity_matrix(cr_);
  PathPtr path = CopyPath(cr_);
  cairo_new_path(cr_);
  return path;
}

// ExcludeClipRect and IntersectClipRect: a rectangle in logical units cut out of the clipping
// region or intersected with it.
void EmfPlayer::ClipRect(ByteReader& r, uint32_t type) {
  const double l = r.I32LE(), t = r.I32LE(), rr = r.I32LE(), b = r.I32LE();
  if (!InRange({{l, t}, {rr, t}, {l, b}, {rr, b}}) || !UseLogical()) return;
  cairo_new_path(cr_);
  cairo_rectangle(cr_, l, t, rr - l, b - t);
  cairo_identity_matrix(cr_);
  AddClip(CopyPath(cr_), CAIRO_FILL_RULE_WINDING, type == kIntersectClipRect ? kRegionAnd : kRegionDiff);
  cairo_new_path(cr_);
}

// A region in device pixels combined with the clipping region; without one, a replacement
// removes the clipping.
void EmfPlayer::SelectClipRegion(ByteReader& r, uint32_t) {
  const uint32_t size = r.U32LE(), mode = r.U32LE();
  if (size < kRegionHeaderSize) {
    if (mode == kRegionCopy) dc_.clip.clear(), clipDirty_ = true;
    return;
  }
  if (PathPtr p = RegionPath(r, size, true)) AddClip(p, CAIRO_FILL_RULE_WINDING, mode);
}

// The path of the last path bracket combined with the clipping region; it is used up.
void EmfPlayer::SelectClipPath(ByteReader& r, uint32_t) {
  const uint32_t mode = r.U32LE();
  if (path_) AddClip(path_, dc_.winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD, mode);
  path_.reset();
}

// FillRgn fills a region with a brush it names, PaintRgn with the selected brush.
void EmfPlayer::PaintRegion(ByteReader& r, uint32_t type) {
  r.Skip(16);  // bounds
  const uint32_t size = r.U32LE();
  Brush brush = dc_.brush;
  if (type == kFillRgn) {
    const auto found = objects_.find(r.U32LE());
    if (found == objects_.end() || !std::holds_alternative<Brush>(found->second)) return;
    brush = std::get<Brush>(found->second);
  }
  ApplyClip();
  if (PathPtr p = RegionPath(r, size, false)) {
    cairo_append_path(cr_, p.get());
    SetBrushSource(brush);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
  }
}

}  // namespace bookloom::emf
