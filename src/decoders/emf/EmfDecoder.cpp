#include "decoders/emf/EmfDecoder.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "decoders/ByteReader.h"
#include "decoders/emf/CairoHandles.h"
#include "decoders/emf/EmfPlayer.h"
#include "decoders/emf/EmfRecords.h"
#include "platform/Exception.h"

namespace bookloom {

namespace {

constexpr uint32_t kSignature = 0x464D4520;  // " EMF" in the header record
constexpr int kMaxRecords = 2'000'000;

}  // namespace

std::unique_ptr<Graphic> DecodeEmf(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels) {
  ByteReader in(bytes, nameForMessages);
  if (in.Size() < 88 || in.U32LE() != emf::kHeader)
    in.Fail("it is not an enhanced metafile (no header record)");
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

  const emf::SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  const emf::ContextPtr context(cairo_create(surface.get()));
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_matrix_t deviceToOutput;
  cairo_matrix_init(&deviceToOutput, w / devWidth, 0, 0, h / devHeight, -left * w / devWidth,
                    -top * h / devHeight);
  emf::EmfPlayer player(cr, deviceToOutput, devPerMmX, devPerMmY, w, h);
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
    ended = type == emf::kEof;
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
