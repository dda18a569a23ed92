#include "pictures/GrayImage.h"

#include <algorithm>

#include "decoders/Graphic.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

GrayImage::GrayImage(int width, int height)
    : width_(width),
      height_(height),
      pixels_(std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(width) * height)) {}

GrayView ViewOf(const Graphic& gray) {
  if (!gray.IsGray()) Raise<GraphicOperationError>("The picture has not been made grey");
  return {gray.Row(0), gray.Stride(), gray.Width(), gray.Height()};
}

GrayImage GrayOf(const Bitmap& bitmap) {
  GrayImage gray(bitmap.Width(), bitmap.Height());
  const bool dropsColor = bitmap.Transparent() && bitmap.TransparentColor().has_value();
  const auto grayOf = [&](Rgb c) {
    return dropsColor && c == *bitmap.TransparentColor() ? uint8_t{255} : GrayOf(c.r, c.g, c.b);
  };
  for (int y = 0; y < bitmap.Height(); ++y) {
    uint8_t* out = gray.Row(y);
    if (bitmap.Format() == PixelFormat::k24Bit) {
      const uint8_t* in = bitmap.Row(y);
      for (int x = 0; x < bitmap.Width(); ++x, in += 3) out[x] = grayOf({in[2], in[1], in[0]});
    } else {
      for (int x = 0; x < bitmap.Width(); ++x) out[x] = grayOf(bitmap.Pixel(x, y));
    }
  }
  return gray;
}

}  // namespace bookloom
