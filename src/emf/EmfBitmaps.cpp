// Bitmap records: device-independent bitmaps drawn into rectangles, and block transfers that paint
// a rectangle without a bitmap.
#include <cmath>
#include <optional>
#include <utility>

#include "decoders/Graphic.h"
#include "emf/DibPixels.h"
#include "emf/EmfPlayer.h"

namespace bookloom::emf {

namespace {

// Raster operations: how the bitmap, the brush and what is drawn already combine.
constexpr uint32_t kRopSrcCopy = 0xCC0020, kRopSrcAnd = 0x8800C6, kRopSrcPaint = 0xEE0086,
                   kRopSrcInvert = 0x660046, kRopBlackness = 0x000042, kRopWhiteness = 0xFF0062,
                   kRopPatCopy = 0xF00021;

// The `size` bytes at `offset` in the record; none when `size` is 0.
std::string_view RecordPart(const ByteReader& r, uint32_t offset, uint32_t size) {
  if (size == 0) return std::string_view();
  if (offset > r.Size() || size > r.Size() - offset) r.Fail("a bitmap lies outside its record");
  return r.All().substr(offset, size);
}

}  // namespace

// StretchDIBits and SetDIBitsToDevice: a bitmap into a rectangle, the latter at its own size.
void EmfPlayer::DibBits(ByteReader& r, uint32_t type) {
  r.Skip(16);  // bounds
  const double x = r.I32LE(), y = r.I32LE(), sx = r.I32LE(), sy = r.I32LE(), sw = r.I32LE(), sh = r.I32LE();
  const uint32_t offBmi = r.U32LE(), cbBmi = r.U32LE(), offBits = r.U32LE(), cbBits = r.U32LE();
  r.U32LE();  // usage of the colour table
  if (type == kSetDiBitsToDevice) {
    DrawDib(RecordPart(r, offBmi, cbBmi), RecordPart(r, offBits, cbBits), {x, y, sw, sh}, {sx, sy, sw, sh},
            kRopSrcCopy);
    return;
  }
  const uint32_t rop = r.U32LE();
  const double w = r.I32LE(), h = r.I32LE();
  DrawDib(RecordPart(r, offBmi, cbBmi), RecordPart(r, offBits, cbBits), {x, y, w, h}, {sx, sy, sw, sh}, rop);
}

// BitBlt and StretchBlt: a destination, a raster operation and perhaps a source bitmap.
void EmfPlayer::BlockTransfer(ByteReader& r, uint32_t type) {
  r.Skip(16);  // bounds
  const double x = r.I32LE(), y = r.I32LE(), w = r.I32LE(), h = r.I32LE();
  const uint32_t rop = r.U32LE();
  const double sx = r.I32LE(), sy = r.I32LE();
  r.Skip(24 + 4 + 4);  // source transform, background colour, usage
  const uint32_t offBmi = r.U32LE(), cbBmi = r.U32LE(), offBits = r.U32LE(), cbBits = r.U32LE();
  double sw = w, sh = h;
  if (type == kStretchBlt) sw = r.I32LE(), sh = r.I32LE();
  const Rect to{x, y, w, h};
  if (cbBmi != 0) {
    DrawDib(RecordPart(r, offBmi, cbBmi), RecordPart(r, offBits, cbBits), to, {sx, sy, sw, sh}, rop);
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
      to.Corners(), [&] { cairo_rectangle(cr_, x, y, w, h); }, true, false);
  std::swap(paint, dc_.brush);
}

// Draws the part `from` (in bitmap pixels) of a bitmap into the logical rectangle `to`.
void EmfPlayer::DrawDib(std::string_view info, std::string_view bits, const Rect& to, Rect from,
                        uint32_t rop) {
  std::optional<DibImage> img = DecodeDib(info, bits, kMaxPicturePixels);
  if (!img || std::fabs(to.w) < 1e-9 || std::fabs(to.h) < 1e-9 || std::fabs(from.w) < 1e-9 ||
      std::fabs(from.h) < 1e-9)
    return;
  if (img->bottomUp) from.y = img->height - from.y - from.h;  // source rows count from the bottom row
  if (!InRange(to.Corners())) return;
  ApplyClip();
  cairo_new_path(cr_);
  if (!UseLogical()) return;
  const SurfacePtr bitmap(
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(img->argb.data()),
                                          CAIRO_FORMAT_ARGB32, img->width, img->height, img->width * 4));
  cairo_save(cr_);
  cairo_translate(cr_, to.x, to.y);
  cairo_scale(cr_, to.w / from.w, to.h / from.h);
  cairo_translate(cr_, -from.x, -from.y);
  cairo_rectangle(cr_, from.x, from.y, from.w, from.h);
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

}  // namespace bookloom::emf
