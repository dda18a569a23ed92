// Colour reduction with error diffusion: a grey picture becomes the indices of a small grey palette,
// the error spread over the neighbours so that tones survive on the device.
#pragma once

#include <array>
#include <cstdint>

#include "pictures/GrayImage.h"

namespace bookloom {

enum class ReductionMode : int32_t { kGray4 = 2, kMonochrome = 3 };

enum class DitherMode : int32_t {
  kNearest = 0,
  kFloydSteinberg = 1,
  kStucki = 2,
  kSierra = 3,
  kJarvisJudiceNinke = 4,
  kStevensonArce = 5,
  kBurkes = 6
};

inline constexpr std::array<uint8_t, 2> kMonochromePalette{0x00, 0xFF};
inline constexpr std::array<uint8_t, 4> kGray4Palette{0x00, 0x80, 0xC0, 0xFF};

// A palette colour: its index and its grey.
struct PaletteEntry {
  int index, grey;
};

// The nearest of the four greys, the lowest index winning ties, remembered per cell of eight greys
// (grey >> 3): every later grey of a cell takes the answer found for its first grey. Each grey of the
// palette answers for its own cell from the start.
class Gray4Lookup {
 public:
  Gray4Lookup();
  // The cell keeps the entry's grey beside its index, so that the grey is read at once rather than
  // through the index: error diffusion waits on it for every pixel.
  PaletteEntry Find(uint8_t gray) {
    const size_t cell = gray >> 3;
    if (indices_[cell] < 0) Remember(cell, Search(gray));
    return {indices_[cell], greys_[cell]};
  }

 private:
  static int Search(int gray);
  void Remember(size_t cell, int index) {
    indices_[cell] = static_cast<int8_t>(index);
    greys_[cell] = kGray4Palette[static_cast<size_t>(index)];
  }

  std::array<int8_t, 32> indices_;
  std::array<uint8_t, 32> greys_{};
};

// Black or white: white (index 1) when 256 times the grey exceeds 32512, so from 128 on.
struct MonochromeLookup {
  static PaletteEntry Find(uint8_t gray) {
    const int index = 256 * gray > 32512 ? 1 : 0;
    return {index, kMonochromePalette[static_cast<size_t>(index)]};
  }
};

// The picture reduced to the palette of `mode` with the ditherer of `dither`: one palette index a
// pixel. Rows are scanned in serpentine order, the first left to right; the error of each pixel is
// spread ahead and onto the rows below, and never beyond the picture's edges.
GrayImage ReduceGray(const GrayView& source, ReductionMode mode, DitherMode dither);

}  // namespace bookloom
