// Colour reduction with error diffusion: a full-colour bitmap becomes an 8-bit bitmap over a small
// grey palette, the colour error spread over the neighbours so that tones survive on the device.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"

namespace bookloom {

enum TReductionMode : int32_t { rdNone = 0, rdSystemPalette = 1, rdGray4 = 2, rdMonochrome = 3 };

enum TDitherMode : int32_t {
  dtNearest = 0,
  dtFloydSteinberg = 1,
  dtStucki = 2,
  dtSierra = 3,
  dtJarvisJudiceNinke = 4,
  dtStevensonArce = 5,
  dtBurkes = 6
};

inline constexpr std::array<Rgb, 2> MonochromePalette{{{0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}}};
inline constexpr std::array<Rgb, 4> Gray4Palette{
    {{0x00, 0x00, 0x00}, {0x80, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}, {0xFF, 0xFF, 0xFF}}};
// The platform's 20-colour default palette: the 16 standard colours and the 4 reserved tints.
extern const std::array<Rgb, 20> SystemPalette;

// Finds the palette entry that stands for a colour.
class TColorLookup {
 public:
  explicit TColorLookup(int colors) : colors_(colors) {}
  virtual ~TColorLookup() = default;
  // The index of the entry for (red, green, blue); the entry's colour goes to `entry`.
  virtual int FindColor(uint8_t red, uint8_t green, uint8_t blue, Rgb& entry) = 0;
  int Colors() const { return colors_; }

 private:
  int colors_;
};

// Nearest entry by the sum of channel differences, the lowest index winning ties, remembered per
// 5-5-5 colour cell: every later colour of a cell takes the answer found for its first colour.
class TFastColorLookup final : public TColorLookup {
 public:
  explicit TFastColorLookup(const std::vector<Rgb>& palette);
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
class TMonochromeLookup final : public TColorLookup {
 public:
  TMonochromeLookup() : TColorLookup(2) {}
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
class TDIB {
 public:
  explicit TDIB(Bitmap& bitmap) : bitmap_(bitmap) {}
  // Row `row` from the top; GIFException when the bitmap has no pixels, EInvalidGraphicOperation
  // when the row is outside it.
  uint8_t* ScanLine(int row);

 protected:
  Bitmap& bitmap_;
};

// Reads a bitmap as 24-bit rows of blue, green, red; the bitmap itself is converted to 24 bits.
class TDIBReader : public TDIB {
 public:
  explicit TDIBReader(Bitmap& source);
};

// Writes the result of a reduction: 8 or 24 bits per pixel, width x height, the palette at the
// start of its colour table; the pixels are allocated on the first row asked for.
class TDIBWriter : public TDIB {
 public:
  TDIBWriter(Bitmap& result, PixelFormat format, int width, int height, const std::vector<Rgb>& palette);
  uint8_t* ScanLine(int row);

 private:
  PixelFormat format_;
  int width_, height_;
  std::vector<Rgb> palette_;
  bool allocated_ = false;
};

// The source reduced to the palette of `mode` with the ditherer of `dither`: an 8-bit bitmap whose
// 256-entry colour table starts with the palette. rdNone gives a 24-bit copy; an unknown mode or
// ditherer gives an empty bitmap. The source is converted to 24 bits per pixel in place.
std::unique_ptr<Bitmap> ReduceColors(Bitmap& source, TReductionMode mode, TDitherMode dither);

}  // namespace bookloom
