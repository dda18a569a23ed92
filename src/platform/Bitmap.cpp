#include "platform/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/Exception.h"

namespace bookloom {

namespace {

size_t RowBytes(int width, PixelFormat format) {
  return (static_cast<size_t>(width) * static_cast<size_t>(format) + 7) / 8;
}

size_t PaletteSize(PixelFormat format) {
  switch (format) {
    case PixelFormat::pf1bit: return 2;
    case PixelFormat::pf4bit: return 16;
    case PixelFormat::pf8bit: return 256;
    case PixelFormat::pf24bit: return 0;
  }
  return 0;
}

}  // namespace

std::vector<Rgb> DefaultPalette(PixelFormat format) {
  switch (format) {
    case PixelFormat::pf1bit:
      return {kBlack, kWhite};
    case PixelFormat::pf4bit:
      return {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
              {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
              {192, 192, 192}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
              {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    case PixelFormat::pf8bit: {
      std::vector<Rgb> p;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            p.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)});
      for (int i = 0; p.size() < 256; ++i) {
        const auto v = static_cast<uint8_t>(i * 255 / 39);
        p.push_back({v, v, v});
      }
      return p;
    }
    case PixelFormat::pf24bit:
      return {};
  }
  return {};
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t p = static_cast<int64_t>(a) * b;
  int64_t q = p / c;
  const int64_t r = p % c;
  // Round half away from zero: compare twice the remainder with the divisor.
  if (std::llabs(r) * 2 >= std::llabs(static_cast<int64_t>(c))) q += ((p < 0) != (c < 0)) ? -1 : 1;
  return static_cast<int32_t>(q);
}

Bitmap::Bitmap(int width, int height, PixelFormat format) : format_(format) {
  palette_ = DefaultPalette(format);
  SetSize(width, height);
}

void Bitmap::Allocate() {
  stride_ = RowBytes(width_, format_);
  pixels_.assign(stride_ * static_cast<size_t>(height_), 0);
}

void Bitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0) Raise<EInvalidGraphicOperation>("Invalid bitmap size %dx%d", {width, height});
  // A page of this program is 600 x 800; 2^31 bytes is far beyond any picture it accepts.
  if (static_cast<uint64_t>(RowBytes(width, format_)) * static_cast<uint64_t>(height) > (1ull << 31))
    Raise<EOutOfMemory>("Bitmap of %dx%d pixels is too large", {width, height});
  width_ = width;
  height_ = height;
  Allocate();
}

void Bitmap::SetPalette(std::vector<Rgb> palette) {
  palette.resize(PaletteSize(format_));
  palette_ = std::move(palette);
}

Rgb Bitmap::Pixel(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (format_) {
    case PixelFormat::pf1bit: return palette_[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case PixelFormat::pf4bit: return palette_[(x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)];
    case PixelFormat::pf8bit: return palette_[row[x]];
    case PixelFormat::pf24bit: return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
  }
  return {};
}

uint8_t Bitmap::Nearest(Rgb c) const {
  int best = 0, bestDistance = 1 << 30;
  for (size_t i = 0; i < palette_.size(); ++i) {
    const Rgb& p = palette_[i];
    const int d = std::abs(p.r - c.r) + std::abs(p.g - c.g) + std::abs(p.b - c.b);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

void Bitmap::SetPixel(int x, int y, Rgb c) {
  uint8_t* row = Row(y);
  switch (format_) {
    case PixelFormat::pf1bit: {
      const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
      if (Nearest(c)) row[x >> 3] |= mask; else row[x >> 3] &= static_cast<uint8_t>(~mask);
      break;
    }
    case PixelFormat::pf4bit: {
      const uint8_t i = Nearest(c);
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | i) : static_cast<uint8_t>((b & 0x0F) | (i << 4));
      break;
    }
    case PixelFormat::pf8bit: row[x] = Nearest(c); break;
    case PixelFormat::pf24bit:
      row[3 * x] = c.b;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.r;
      break;
  }
}

void Bitmap::SetFormat(PixelFormat format) {
  if (format == format_) return;
  SetFormat(format, DefaultPalette(format));
}

void Bitmap::SetFormat(PixelFormat format, std::vector<Rgb> palette) {
  Bitmap converted;
  converted.format_ = format;
  converted.palette_ = std::move(palette);
  converted.palette_.resize(PaletteSize(format));
  converted.width_ = width_;
  converted.height_ = height_;
  converted.Allocate();
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) converted.SetPixel(x, y, Pixel(x, y));
  format_ = format;
  stride_ = converted.stride_;
  pixels_ = std::move(converted.pixels_);
  palette_ = std::move(converted.palette_);
}

void Bitmap::Fill(Rgb c) {
  if (Empty()) return;
  if (format_ == PixelFormat::pf24bit) {
    uint8_t* row0 = Row(0);
    for (int x = 0; x < width_; ++x) {
      row0[3 * x] = c.b;
      row0[3 * x + 1] = c.g;
      row0[3 * x + 2] = c.r;
    }
  } else {
    for (int x = 0; x < width_; ++x) SetPixel(x, 0, c);
  }
  for (int y = 1; y < height_; ++y) std::memcpy(Row(y), Row(0), stride_);
}

void Bitmap::DrawOnto(Bitmap& target, int x, int y) const {
  if (target.format_ != PixelFormat::pf24bit)
    Raise<EInvalidGraphicOperation>("Pictures are drawn onto 24-bit bitmaps only");
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(target.width_, x + width_), y1 = std::min(target.height_, y + height_);
  if (x0 >= x1 || y0 >= y1) return;
  const bool skip = transparent_ && transparentColor_.has_value();
  for (int ty = y0; ty < y1; ++ty) {
    uint8_t* out = target.Row(ty);
    const int sy = ty - y;
    if (format_ == PixelFormat::pf24bit && !skip) {
      std::memcpy(out + 3 * x0, Row(sy) + 3 * (x0 - x), 3 * static_cast<size_t>(x1 - x0));
      continue;
    }
    for (int tx = x0; tx < x1; ++tx) {
      const Rgb c = Pixel(tx - x, sy);
      if (skip && c == *transparentColor_) continue;
      out[3 * tx] = c.b;
      out[3 * tx + 1] = c.g;
      out[3 * tx + 2] = c.r;
    }
  }
}

}  // namespace bookloom
