#include "decoders/SvgDecoder.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cmath>

#include "decoders/LoadedLibrary.h"

namespace bookloom {

namespace {

// The functions the decoder calls, all looked up through librsvg, which brings GLib and cairo with
// it: the drawing's parser and renderer, GLib's release of what they make, and a cairo surface to
// draw on.
// clang-format off
#define LIBRSVG_FUNCTIONS(F)                                                                       \
  F(rsvg_handle_new_from_data) F(rsvg_handle_set_dpi) F(rsvg_handle_get_intrinsic_size_in_pixels)  \
  F(rsvg_handle_get_intrinsic_dimensions) F(rsvg_handle_render_document)                           \
  F(g_object_unref) F(g_error_free)                                                                \
  F(cairo_image_surface_create) F(cairo_surface_status) F(cairo_surface_flush)                     \
  F(cairo_image_surface_get_data) F(cairo_image_surface_get_stride) F(cairo_surface_destroy)       \
  F(cairo_create) F(cairo_set_source_rgb) F(cairo_paint) F(cairo_destroy)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Librsvg, LIBRSVG_FUNCTIONS);

// librsvg's functions, loaded at the first drawing; DecodeError naming the file when librsvg cannot
// be loaded.
const Librsvg& LibrsvgFor(const Runtime& runtime, const std::u16string& fileName) {
  return FunctionsFor(runtime.Library<Librsvg>(BOOKLOOM_LIBRSVG), "librsvg", fileName);
}

[[noreturn]] void RaiseSvgError(const Librsvg& rsvg, GError* error, const std::u16string& fileName,
                                const std::string& what) {
  std::string why = "not a readable SVG drawing: " + what;
  if (error) {
    why += std::string(": ") + error->message;
    rsvg.g_error_free(error);
  }
  RaiseDecodeError(fileName, why);
}

struct Size {
  double width = 0;
  double height = 0;
};

bool Usable(const Size& size) {
  return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0;
}

// The drawing's own size in pixels; its view box's proportions when its width or height is relative
// to a page it does not have; the page when it has neither.
Size NaturalSize(const Librsvg& rsvg, RsvgHandle* handle) {
  Size size;
  if (rsvg.rsvg_handle_get_intrinsic_size_in_pixels(handle, &size.width, &size.height) && Usable(size))
    return size;
  gboolean hasWidth = false, hasHeight = false, hasViewBox = false;
  RsvgLength width, height;
  RsvgRectangle viewBox;
  rsvg.rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &width, &hasHeight, &height, &hasViewBox,
                                            &viewBox);
  if (hasViewBox && Usable({viewBox.width, viewBox.height})) return {viewBox.width, viewBox.height};
  return {kSvgPageWidth, kSvgPageHeight};
}

// The largest whole-pixel size of the drawing's proportions that fits the page and the pixel limit.
Size FittedSize(const Size& natural, int64_t maxPixels) {
  double scale = std::min(kSvgPageWidth / natural.width, kSvgPageHeight / natural.height);
  const double pixels = natural.width * natural.height * scale * scale;
  if (pixels > static_cast<double>(maxPixels)) scale *= std::sqrt(static_cast<double>(maxPixels) / pixels);
  const auto side = [&](double length, int page) {
    return std::clamp(std::floor(length * scale + 0.5), 1.0, static_cast<double>(page));
  };
  return {side(natural.width, kSvgPageWidth), side(natural.height, kSvgPageHeight)};
}

// cairo's premultiplied native-endian ARGB over white (the surface was painted white first, so every
// pixel is opaque) as RGB.
void CopyOpaquePixels(const Librsvg& rsvg, cairo_surface_t* surface, Graphic& target) {
  rsvg.cairo_surface_flush(surface);
  const uint8_t* data = rsvg.cairo_image_surface_get_data(surface);
  const int stride = rsvg.cairo_image_surface_get_stride(surface);
  for (int y = 0; y < target.Height(); ++y) {
    const auto* in = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    uint8_t* out = target.Row(y);
    for (int x = 0; x < target.Width(); ++x, out += 3) {
      out[0] = static_cast<uint8_t>(in[x] >> 16);
      out[1] = static_cast<uint8_t>(in[x] >> 8);
      out[2] = static_cast<uint8_t>(in[x]);
    }
  }
}

}  // namespace

std::unique_ptr<Graphic> DecodeSvg(const Runtime& runtime, std::string_view bytes,
                                   const std::u16string& fileName, int64_t maxPixels) {
  if (bytes.empty()) RaiseDecodeError(fileName, "the file is empty");
  const Librsvg& rsvg = LibrsvgFor(runtime, fileName);
  GError* error = nullptr;
  const std::unique_ptr<RsvgHandle, decltype(rsvg.g_object_unref)> handle(
      rsvg.rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(bytes.data()), bytes.size(), &error),
      rsvg.g_object_unref);
  if (!handle) RaiseSvgError(rsvg, error, fileName, "it does not parse");
  rsvg.rsvg_handle_set_dpi(handle.get(), 96);

  const Size size =
      FittedSize(NaturalSize(rsvg, handle.get()), std::min(maxPixels, PictureLimits().maxPixels));
  const int width = static_cast<int>(size.width);
  const int height = static_cast<int>(size.height);
  CheckPictureSize(width, height, fileName, maxPixels);
  const std::unique_ptr<cairo_surface_t, decltype(rsvg.cairo_surface_destroy)> surface(
      rsvg.cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), rsvg.cairo_surface_destroy);
  if (rsvg.cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    RaiseDecodeError(fileName, "out of memory for the drawing's surface");
  const std::unique_ptr<cairo_t, decltype(rsvg.cairo_destroy)> cairo(rsvg.cairo_create(surface.get()),
                                                                     rsvg.cairo_destroy);
  rsvg.cairo_set_source_rgb(cairo.get(), 1, 1, 1);
  rsvg.cairo_paint(cairo.get());
  const RsvgRectangle viewport{0, 0, size.width, size.height};
  if (!rsvg.rsvg_handle_render_document(handle.get(), cairo.get(), &viewport, &error))
    RaiseSvgError(rsvg, error, fileName, "it cannot be drawn");

  auto graphic = std::make_unique<Graphic>(width, height, PixelLayout::kRgb, Graphic::Pixels::kUninitialised);
  CopyOpaquePixels(rsvg, surface.get(), *graphic);
  return graphic;
}

}  // namespace bookloom
