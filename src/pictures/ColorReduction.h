// Colour reduction with error diffusion: a full-colour bitmap becomes an 8-bit bitmap over a small
// grey palette, the colour error spread over the neighbours so that tones survive on the device.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"

namespace bookloom {

enum class ReductionMode : int32_t { kNone = 0, kSystemPalette = 1, kGray4 = 2, kMonochrome = 3 };

enum class DitherMode : int32_t {
  kNearest = 0,
  kFloydSteinberg = 1,
  kStucki = 2,
  kSierra = 3,
  kJarvisJudiceNinke = 4,
  kStevensonArce = 5,
  kBurkes = 6
};

inline constexpr std::array<Rgb, 2> kMonochromePalette{{{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}}};
inline constexpr std::array<Rgb, 4> kGray4Palette{
    {{0x00, 0x00, 0x00}, {0x80, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}, {0xFF, 0xFF, 0xFF}}};
// The platform's 20-colour default palette: the 16 standard colours and the 4 reserved tints.
extern const std::array<Rgb, 20> kSystemPalette;

// Finds the palette entry that stands for a colour.
class ColorLookup {
 public:
  explicit ColorLookup(int colors) : colors_(colors) {}
  virtual ~ColorLookup() = default;
  // The index of the entry for (red, green, blue); the entry's colour goes to `entry`.
  virtual int FindColor(uint8_t red, uint8_t green, uint8_t blue, Rgb& entry) = 0;
  int Colors() const { return colors_; }

 private:
  int colors_;
};

// Nearest entry by the sum of channel differences, the lowest index winning ties, remembered per
// 5-5-5 colour cell: every later colour of a cell takes the answer found for its first colour.
class FastColorLookup final : public ColorLookup {
 public:
  explicit FastColorLookup(const std::vector<Rgb>& palette);
  int FindColor(uint8_t red, uint8_t green, uint8_t blue, Rgb& entry) override {
    return Find(red, green, blue, entry);
  }
  int Find(uint8_t red, uint8_t green, uint8_t blue, Rgb& entry) {
    int16_t& slot = cache_[(red >> 3) | (green >> 3) << 5 | (blue >> 3) << 10];
    if (slot < 0) slot = static_cast<int16_t>(Search(red, green, blue));
    entry = palette_[slot];
    return slot;
  }

 private:
  int Search(int red, int green, int blue) const;

  std::vector<Rgb> palette_;
  std::vector<int16_t> cache_;
};

// Black or white by luminance: white when 77 red + 150 green + 29 blue exceeds 32512.
class MonochromeLookup final : public ColorLookup {
 public:
  MonochromeLookup() : ColorLookup(2) {}
  int FindColor(uint8_t red, uint8_t green, uint8_t blue, Rgb& entry) override {
    return Find(red, green, blue, entry);
  }
  static int Find(uint8_t red, uint8_t green, uint8_t blue, Rgb& entry) {
    const bool white = 77 * red + 150 * green + 29 * blue > 32512;
    entry = white ? kWhite : kBlack;
    return white ? 1 : 0;
  }
};

// Row access to the bitmap a reduction reads or writes.
class DibRows {
 public:
  explicit DibRows(Bitmap& bitmap) : bitmap_(bitmap) {}
  // Row `row` from the top; ColorReductionError when the bitmap has no pixels, GraphicOperationError
  // when the row is outside it.
  uint8_t* ScanLine(int row);

 protected:
  Bitmap& bitmap_;
};

// Reads a bitmap as 24-bit rows of blue, green, red; the bitmap itself is converted to 24 bits.
class DibReader : public DibRows {
 public:
  explicit DibReader(Bitmap& source);
};

// Writes the result of a reduction: 8 or 24 bits per pixel, width x height, the palette at the
// start of its colour table; the pixels are allocated on the first row asked for.
class DibWriter : public DibRows {
 public:
  DibWriter(Bitmap& result, PixelFormat format, int width, int height, const std::vector<Rgb>& palette);
  uint8_t* ScanLine(int row);

 private:
  PixelFormat format_;
  int width_, height_;
  std::vector<Rgb> palette_;
  bool allocated_ = false;
};

// The source reduced to the palette of `mode` with the ditherer of `dither`: an 8-bit bitmap whose
// 256-entry colour table starts with the palette. ReductionMode::kNone gives a 24-bit copy; an unknown mode
// or ditherer gives an empty bitmap. The source is converted to 24 bits per pixel in place.
std::unique_ptr<Bitmap> ReduceColors(Bitmap& source, ReductionMode mode, DitherMode dither);

}  // namespace bookloom
