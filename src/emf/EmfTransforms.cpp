// How logical units become output pixels: the world transform, the page (map mode, window and
// viewport) and the device, and the records that change them.
#include <algorithm>
#include <cmath>

#include "emf/EmfPlayer.h"

namespace bookloom::emf {

namespace {

// Ways of changing the world transform.
constexpr uint32_t kWorldIdentity = 1, kWorldLeftMultiply = 2, kWorldRightMultiply = 3, kWorldSet = 4;

bool Finite(const cairo_matrix_t& m) {
  for (double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!std::isfinite(v) || std::fabs(v) > 1e9) return false;
  const double det = m.xx * m.yy - m.xy * m.yx;
  return std::fabs(det) > 1e-12;
}

}  // namespace

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
      sx = dc_.windowExt.x != 0 ? dc_.viewportExt.x / dc_.windowExt.x : 1;
      sy = dc_.windowExt.y != 0 ? dc_.viewportExt.y / dc_.windowExt.y : 1;
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
  cairo_matrix_init(&m, sx, 0, 0, sy, dc_.viewportOrg.x - dc_.windowOrg.x * sx,
                    dc_.viewportOrg.y - dc_.windowOrg.y * sy);
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

Point EmfPlayer::ToOutput(Point logical) const {
  const cairo_matrix_t m = LogicalToOutput();
  cairo_matrix_transform_point(&m, &logical.x, &logical.y);
  return logical;
}

void EmfPlayer::SetWindowOrViewport(ByteReader& r, uint32_t type) {
  const Point p = ReadPoint(r);
  switch (type) {
    case kSetWindowExtEx:
      dc_.windowExt = p;
      break;
    case kSetWindowOrgEx:
      dc_.windowOrg = p;
      break;
    case kSetViewportExtEx:
      dc_.viewportExt = p;
      break;
    case kSetViewportOrgEx:
      dc_.viewportOrg = p;
      break;
  }
}

void EmfPlayer::ScaleExtent(ByteReader& r, uint32_t type) {
  const double xNum = r.I32LE(), xDenom = r.I32LE(), yNum = r.I32LE(), yDenom = r.I32LE();
  if (xDenom == 0 || yDenom == 0) return;
  Point& extent = type == kScaleViewportExtEx ? dc_.viewportExt : dc_.windowExt;
  extent.x = extent.x * xNum / xDenom;
  extent.y = extent.y * yNum / yDenom;
}

// Sets the world transform, or combines it with the record's.
void EmfPlayer::SetWorldTransform(ByteReader& r, uint32_t type) {
  cairo_matrix_t x;
  x.xx = r.F32LE(), x.yx = r.F32LE(), x.xy = r.F32LE(), x.yy = r.F32LE(), x.x0 = r.F32LE(), x.y0 = r.F32LE();
  const uint32_t mode = type == kSetWorldTransform ? kWorldSet : r.U32LE();
  if (mode == kWorldIdentity)
    cairo_matrix_init_identity(&dc_.world);
  else if (mode == kWorldLeftMultiply)
    cairo_matrix_multiply(&dc_.world, &x, &dc_.world);
  else if (mode == kWorldRightMultiply)
    cairo_matrix_multiply(&dc_.world, &dc_.world, &x);
  else if (mode == kWorldSet)
    dc_.world = x;
}

}  // namespace bookloom::emf
