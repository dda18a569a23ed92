// A device-independent bitmap: 1, 4, 8 (with a colour table) or 24 bits per pixel, rows from the
// top, 24-bit pixels stored blue, green, red. Pictures pass through it on their way to the page.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace bookloom {

enum class PixelFormat : uint8_t { k1Bit = 1, k4Bit = 4, k8Bit = 8, k24Bit = 24 };

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};

// The grey of a colour: its luma as BT.601 weighs it, in the fixed point JPEG itself uses
// (0.299 red, 0.587 green, 0.114 blue, rounded). A grey stays itself.
constexpr uint8_t GrayOf(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint8_t>((19595u * red + 38470u * green + 7471u * blue + 32768u) >> 16);
}

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, PixelFormat format);

  int Width() const { return width_; }
  int Height() const { return height_; }
  PixelFormat Format() const { return format_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  // Bytes of one row: the used bytes only, rows are not padded.
  size_t Stride() const { return stride_; }

  uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * stride_; }

  // The colour table of an indexed bitmap (2, 16 or 256 entries; unused entries black).
  const std::vector<Rgb>& Palette() const { return palette_; }

  // New dimensions; the pixels are all zero afterwards. Sizes above the picture limit raise.
  void SetSize(int width, int height);
  // A new pixel format; existing pixels are converted (to an indexed format by the nearest
  // entry of the colour table, which is the format's default table unless one is set).
  void SetFormat(PixelFormat format);
  // A new pixel format with an explicit colour table, converting as SetFormat does.
  void SetFormat(PixelFormat format, std::vector<Rgb> palette);

  Rgb Pixel(int x, int y) const;
  void SetPixel(int x, int y, Rgb c);  // indexed formats take the nearest table entry
  void Fill(Rgb c);

  // Transparency is only ever an explicit colour: a bitmap never guesses one from its pixels.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  const std::optional<Rgb>& TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(std::optional<Rgb> c) { transparentColor_ = c; }

 private:
  // The colour table index nearest to c: smallest sum of channel differences, lowest index on ties.
  uint8_t Nearest(Rgb c) const;
  void Allocate();

  int width_ = 0;
  int height_ = 0;
  PixelFormat format_ = PixelFormat::k24Bit;
  size_t stride_ = 0;
  std::vector<uint8_t> pixels_;
  std::vector<Rgb> palette_;
  bool transparent_ = false;
  std::optional<Rgb> transparentColor_;
};

// The default colour table of an indexed format: black and white for 1 bit, the 16 standard
// colours for 4 bits, a 6x6x6 colour cube and greys for 8 bits.
std::vector<Rgb> DefaultPalette(PixelFormat format);

// a * b / c rounded to the nearest integer, halves away from zero, with a 64-bit intermediate.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace bookloom
