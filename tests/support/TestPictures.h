// Pictures of today's formats made in the tests themselves by the formats' own encoders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bookloom::test {

// RGBA pixels, rows from the top.
struct RgbaPixels {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // width * height * 4 bytes
};

// Smooth colours in every direction, opaque, or with alpha falling from opaque on the left to nearly
// transparent on the right (encoders may change the colour of fully transparent pixels).
RgbaPixels Gradient(int width, int height, bool withAlpha = false);

// One colour all over.
RgbaPixels Filled(int width, int height, uint8_t r, uint8_t g, uint8_t b);

// A still WebP picture of the pixels, lossless (exactly these pixels) or lossy at quality 90.
std::string WebpOf(const RgbaPixels& pixels, bool lossless);

// A lossless animated WebP, one frame a second, of frames of one size.
std::string AnimatedWebpOf(const std::vector<RgbaPixels>& frames);

// A JPEG XL picture of the frames (of one size; several make an animation, one frame a second),
// lossless (exactly these pixels) or lossy at distance 1, with the orientation field given (1: as
// stored, 6: turned a quarter clockwise when shown).
std::string JpegXlOf(const std::vector<RgbaPixels>& frames, bool lossless, int orientation = 1);

// A HEIF file (HEVC) or an AVIF file (AV1) of the images, the first the primary one, lossy at quality 90,
// with the orientation given (as JpegXlOf's).
std::string HeifOf(const std::vector<RgbaPixels>& images, bool avif, int orientation = 1);

}  // namespace bookloom::test
