#include "decoders/Graphic.h"

#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

void CheckPictureSize(int64_t width, int64_t height, const std::u16string& fileName) {
  if (width <= 0 || height <= 0)
    Raise<EDecodeError>("Cannot read picture \"%s\": it has no pixels (%dx%d)", {fileName, width, height});
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    Raise<EDecodeError>(
        "Cannot read picture \"%s\": %dx%d pixels is larger than the limit of %d pixels a side and %d "
        "megapixels",
        {fileName, width, height, kMaxPictureSide, kMaxPicturePixels / 1'000'000});
}

TGraphic::TGraphic(int width, int height, bool hasAlpha)
    : width_(width), height_(height), hasAlpha_(hasAlpha) {
  pixels_.assign(Stride() * static_cast<size_t>(height_), 0);
}

void TGraphic::AssignTo(Bitmap& target) const {
  target = Bitmap(width_, height_, PixelFormat::pf24bit);
  for (int y = 0; y < height_; ++y) {
    const uint8_t* in = Row(y);
    uint8_t* out = target.Row(y);
    if (!hasAlpha_) {
      for (int x = 0; x < width_; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
      }
      continue;
    }
    for (int x = 0; x < width_; ++x, in += 4, out += 3) {
      // Over white: c * a / 255 + 255 * (255 - a) / 255, rounded.
      const unsigned a = in[3], inv = 255 - a;
      out[0] = static_cast<uint8_t>((in[2] * a + 255 * inv + 127) / 255);
      out[1] = static_cast<uint8_t>((in[1] * a + 255 * inv + 127) / 255);
      out[2] = static_cast<uint8_t>((in[0] * a + 255 * inv + 127) / 255);
    }
  }
}

}  // namespace bookloom
