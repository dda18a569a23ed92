#include "decoders/IndexedPixels.h"

namespace bookloom {

Palette256 GreyPalette() {
  Palette256 p;
  for (int i = 0; i < 256; ++i) p[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  return p;
}

std::unique_ptr<Graphic> GraphicFromIndexes(int width, int height, const uint8_t* indexes, size_t stride,
                                            const Palette256& palette) {
  auto g = std::make_unique<Graphic>(width, height, PixelLayout::kRgb);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = indexes + static_cast<size_t>(y) * stride;
    uint8_t* out = g->Row(y);
    for (int x = 0; x < width; ++x, out += 3) {
      const Rgb& c = palette[in[x]];
      out[0] = c.r;
      out[1] = c.g;
      out[2] = c.b;
    }
  }
  return g;
}

}  // namespace bookloom
