#include "emf/EmfPicture.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "decoders/ByteReader.h"
#include "decoders/Graphic.h"
#include "emf/CairoHandles.h"
#include "emf/EmfPlayer.h"
#include "emf/EmfRecords.h"

namespace bookloom::emf {

namespace {

constexpr size_t kMinHeaderSize = 88;
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr size_t kDeviceSizeAt = 72;         // the reference device's size in pixels, then in millimetres

// What the header record says of the picture.
struct Header {
  uint32_t size;                          // of the header record: the other records follow it
  double devPerMmX, devPerMmY;            // the pixels per millimetre of the reference device
  double left, top, devWidth, devHeight;  // the picture on the reference device, in its pixels
  double width, height;                   // the picture's size at 96 dots per inch
};

// Places the picture: the frame (in hundredths of a millimetre) at 96 dots per inch; without one,
// the bounds in device pixels.
void PlaceFrame(Header& h, const int32_t bounds[4], const int32_t frame[4]) {
  const double frameW = double(frame[2]) - frame[0], frameH = double(frame[3]) - frame[1];
  if (frameW > 0 && frameH > 0) {
    h.left = frame[0] / 100.0 * h.devPerMmX, h.top = frame[1] / 100.0 * h.devPerMmY;
    h.devWidth = frameW / 100.0 * h.devPerMmX, h.devHeight = frameH / 100.0 * h.devPerMmY;
    h.width = std::round(frameW * 96 / 2540), h.height = std::round(frameH * 96 / 2540);
  } else {
    h.left = bounds[0], h.top = bounds[1];
    h.devWidth = h.width = double(bounds[2]) - bounds[0] + 1;
    h.devHeight = h.height = double(bounds[3]) - bounds[1] + 1;
  }
}

// Some programs put the drawing (its bounds) beside the frame's place: the frame then moves to the
// bounds, keeping its size.
void MoveFrameToBounds(Header& h, const int32_t bounds[4]) {
  const double boundsW = double(bounds[2]) - bounds[0], boundsH = double(bounds[3]) - bounds[1];
  if (boundsW > 0 && boundsH > 0) {
    const double overlapW =
        std::min(h.left + h.devWidth, double(bounds[2])) - std::max(h.left, double(bounds[0]));
    const double overlapH =
        std::min(h.top + h.devHeight, double(bounds[3])) - std::max(h.top, double(bounds[1]));
    if (overlapW <= 0 || overlapH <= 0 || overlapW * overlapH < 0.5 * boundsW * boundsH)
      h.left = bounds[0], h.top = bounds[1];
  }
}

Header ReadHeader(ByteReader& in) {
  if (in.Size() < kMinHeaderSize || in.U32LE() != kHeader)
    in.Fail("it is not an enhanced metafile (no header record)");
  Header h;
  h.size = in.U32LE();
  int32_t bounds[4], frame[4];
  for (auto& v : bounds) v = in.I32LE();
  for (auto& v : frame) v = in.I32LE();
  if (in.U32LE() != kSignature) in.Fail("it is not an enhanced metafile (no \" EMF\" signature)");
  if (h.size < kMinHeaderSize || h.size > in.Size() || h.size % 4)
    in.Fail("the metafile header has a wrong size");
  in.Seek(kDeviceSizeAt);
  const double devX = in.I32LE(), devY = in.I32LE(), mmX = in.I32LE(), mmY = in.I32LE();
  h.devPerMmX = devX > 0 && mmX > 0 ? devX / mmX : 96 / 25.4;
  h.devPerMmY = devY > 0 && mmY > 0 ? devY / mmY : 96 / 25.4;
  PlaceFrame(h, bounds, frame);
  if (!(h.width >= 1 && h.height >= 1)) in.Fail("the picture has no size");
  MoveFrameToBounds(h, bounds);
  return h;
}

// Copies the pixels of a cairo surface of format RGB24 into rows of RGB.
void CopyPixels(cairo_surface_t* surface, int w, int h, uint8_t* rgb) {
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    const auto* px = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    uint8_t* out = rgb + static_cast<size_t>(y) * w * 3;
    for (int x = 0; x < w; ++x, out += 3) {
      out[0] = (px[x] >> 16) & 0xFF;
      out[1] = (px[x] >> 8) & 0xFF;
      out[2] = px[x] & 0xFF;
    }
  }
}

}  // namespace

void DrawEmf(std::string_view bytes, int64_t maxPixels, const PixelsForSize& pixelsFor) {
  // The program names the file in its messages.
  const std::u16string noName;
  ByteReader in(bytes, noName);
  const Header header = ReadHeader(in);
  // Larger than the limits: drawn smaller.
  const double width = header.width, height = header.height;
  const double fit = std::min({1.0, kMaxPictureSide / width, kMaxPictureSide / height,
                               std::sqrt(double(std::min(maxPixels, kMaxPicturePixels)) / (width * height))});
  const int w = static_cast<int>(std::max(1.0, std::floor(width * fit + 1e-6)));
  const int h = static_cast<int>(std::max(1.0, std::floor(height * fit + 1e-6)));
  uint8_t* const rgb = pixelsFor(w, h);

  const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  const ContextPtr cr(cairo_create(surface.get()));
  cairo_set_source_rgb(cr.get(), 1, 1, 1);
  cairo_paint(cr.get());
  cairo_matrix_t deviceToOutput;
  cairo_matrix_init(&deviceToOutput, w / header.devWidth, 0, 0, h / header.devHeight,
                    -header.left * w / header.devWidth, -header.top * h / header.devHeight);
  EmfPlayer player(cr.get(), deviceToOutput, header.devPerMmX, header.devPerMmY, w, h);
  ForEachRecord(in, header.size, [&player](uint32_t type, ByteReader& record) { player.Play(type, record); });
  cairo_surface_flush(surface.get());
  CopyPixels(surface.get(), w, h, rgb);
}

}  // namespace bookloom::emf
