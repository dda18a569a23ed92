// Pictures for the page-fitting and cover tests: a tiny PPM decoder, PPM files that the program's
// own decoders read too, and helpers that look at where a picture landed on a page.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "decoders/Graphic.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"

namespace bookloom::test {

// Reads binary PPM files ("P6", maximum value 255).
class PpmTestDecoder : public GraphicDecoder {
 public:
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override {
    int width = 0, height = 0, maxValue = 0, headerLength = 0;
    if (std::sscanf(std::string(bytes.substr(0, 64)).c_str(), "P6 %d %d %d%n", &width, &height, &maxValue,
                    &headerLength) != 3 ||
        maxValue != 255 || width <= 0 || height <= 0 ||
        bytes.size() < static_cast<size_t>(headerLength) + 1 + size_t(width) * height * 3)
      RaiseDecodeError(fileName, "not a PPM file");
    auto graphic = std::make_unique<Graphic>(width, height, PixelLayout::kRgb);
    const char* pixels = bytes.data() + headerLength + 1;
    for (int y = 0; y < height; ++y)
      std::copy(pixels + size_t(y) * width * 3, pixels + size_t(y + 1) * width * 3, graphic->Row(y));
    if (options.gray) graphic->MakeGray();
    DecodedFrames decoded;
    decoded.frames.push_back(std::move(graphic));
    return decoded;
  }
};

// Writes a bitmap as a PPM file the test decoder reads.
inline void WritePpm(const std::filesystem::path& path, const Bitmap& picture) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.Width() << " " << picture.Height() << "\n255\n";
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const Rgb c = picture.Pixel(x, y);
      out.put(char(c.r)).put(char(c.g)).put(char(c.b));
    }
}

// A 24-bit picture of random bytes, the same for the same seed.
inline Bitmap RandomPicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Bitmap b(width, height, PixelFormat::k24Bit);
  for (int y = 0; y < height; ++y)
    for (size_t i = 0; i < b.Stride(); ++i) b.Row(y)[i] = static_cast<uint8_t>(random());
  return b;
}

inline Bitmap Filled(int width, int height, Rgb c) {
  Bitmap b(width, height, PixelFormat::k24Bit);
  b.Fill(c);
  return b;
}

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Box&, const Box&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "(" << b.x << "," << b.y << " " << b.width << "x" << b.height << ")";
  }
};

// The smallest rectangle holding every pixel that is not white.
inline Box NonWhiteBox(const Bitmap& page) {
  int left = page.Width(), top = page.Height(), right = -1, bottom = -1;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      if (page.Pixel(x, y) != kWhite) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

// How many pixels of the page have exactly colour c.
inline int CountOf(const Bitmap& page, Rgb c) {
  int n = 0;
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) n += page.Pixel(x, y) == c;
  return n;
}

}  // namespace bookloom::test
