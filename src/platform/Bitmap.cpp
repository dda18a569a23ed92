#include "platform/Bitmap.h"

#include <algorithm>
#include <array>
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
    case PixelFormat::k1Bit:
      return 2;
    case PixelFormat::k4Bit:
      return 16;
    case PixelFormat::k8Bit:
      return 256;
    case PixelFormat::k24Bit:
      return 0;
  }
  return 0;
}

uint8_t NearestIndex(const std::vector<Rgb>& palette, Rgb c) {
  int best = 0, bestDistance = 1 << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    const Rgb& p = palette[i];
    const int d = std::abs(p.r - c.r) + std::abs(p.g - c.g) + std::abs(p.b - c.b);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
      if (d == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

// Remembers the nearest table entry of recently seen colours, so that converting a picture of few
// colours searches the table once per colour. Exact: a slot answers only for its own colour.
class NearestCache {
 public:
  explicit NearestCache(const std::vector<Rgb>& palette) : palette_(palette) { keys_.fill(0); }

  uint8_t Find(uint8_t r, uint8_t g, uint8_t b) {
    const uint32_t key = (uint32_t{r} << 16 | uint32_t{g} << 8 | b) + 1;  // 0 marks an empty slot
    const uint32_t slot = (key * 2654435761u) >> (32 - kBits);
    if (keys_[slot] != key) {
      keys_[slot] = key;
      values_[slot] = NearestIndex(palette_, {r, g, b});
    }
    return values_[slot];
  }

 private:
  static constexpr int kBits = 12;
  const std::vector<Rgb>& palette_;
  std::array<uint32_t, 1 << kBits> keys_;
  std::array<uint8_t, 1 << kBits> values_{};
};

// Calls fn(x, index) for the pixels begin .. end - 1 of an indexed row.
template <class Fn>
void ForEachIndex(const uint8_t* row, int begin, int end, PixelFormat format, Fn&& fn) {
  switch (format) {
    case PixelFormat::k1Bit:
      for (int x = begin; x < end; ++x) fn(x, (row[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case PixelFormat::k4Bit:
      for (int x = begin; x < end; ++x) fn(x, (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
      break;
    case PixelFormat::k8Bit:
      for (int x = begin; x < end; ++x) fn(x, row[x]);
      break;
    case PixelFormat::k24Bit:
      break;
  }
}

// Writes a whole indexed row from indexOf(x); the unused bits of the last byte are zero.
template <class IndexOf>
void PackRow(uint8_t* row, int width, PixelFormat format, IndexOf&& indexOf) {
  switch (format) {
    case PixelFormat::k1Bit:
      for (int x = 0; x < width; x += 8) {
        uint8_t byte = 0;
        for (int k = 0; k < 8 && x + k < width; ++k)
          byte |= static_cast<uint8_t>((indexOf(x + k) & 1) << (7 - k));
        row[x >> 3] = byte;
      }
      break;
    case PixelFormat::k4Bit:
      for (int x = 0; x < width; x += 2) {
        const int low = x + 1 < width ? (indexOf(x + 1) & 0x0F) : 0;
        row[x >> 1] = static_cast<uint8_t>((indexOf(x) & 0x0F) << 4 | low);
      }
      break;
    case PixelFormat::k8Bit:
      for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(indexOf(x));
      break;
    case PixelFormat::k24Bit:
      break;
  }
}

void PutBgr(uint8_t* p, Rgb c) {
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
}

}  // namespace

std::vector<Rgb> DefaultPalette(PixelFormat format) {
  switch (format) {
    case PixelFormat::k1Bit:
      return {kBlack, kWhite};
    case PixelFormat::k4Bit:
      return {{0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
              {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
              {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    case PixelFormat::k8Bit: {
      std::vector<Rgb> p;
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b)
            p.push_back(
                {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)});
      for (int i = 0; p.size() < 256; ++i) {
        const auto v = static_cast<uint8_t>(i * 255 / 39);
        p.push_back({v, v, v});
      }
      return p;
    }
    case PixelFormat::k24Bit:
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
  if (width < 0 || height < 0) Raise<GraphicOperationError>("Invalid bitmap size %dx%d", {width, height});
  // A page of this program is 600 x 800; 2^31 bytes is far beyond any picture it accepts.
  if (static_cast<uint64_t>(RowBytes(width, format_)) * static_cast<uint64_t>(height) > (1ull << 31))
    Raise<OutOfMemoryError>("Bitmap of %dx%d pixels is too large", {width, height});
  width_ = width;
  height_ = height;
  Allocate();
}

Rgb Bitmap::Pixel(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (format_) {
    case PixelFormat::k1Bit:
      return palette_[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case PixelFormat::k4Bit:
      return palette_[(x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)];
    case PixelFormat::k8Bit:
      return palette_[row[x]];
    case PixelFormat::k24Bit:
      return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
  }
  return {};
}

uint8_t Bitmap::Nearest(Rgb c) const { return NearestIndex(palette_, c); }

void Bitmap::SetPixel(int x, int y, Rgb c) {
  uint8_t* row = Row(y);
  switch (format_) {
    case PixelFormat::k1Bit: {
      const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
      if (Nearest(c))
        row[x >> 3] |= mask;
      else
        row[x >> 3] &= static_cast<uint8_t>(~mask);
      break;
    }
    case PixelFormat::k4Bit: {
      const uint8_t i = Nearest(c);
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | i) : static_cast<uint8_t>((b & 0x0F) | (i << 4));
      break;
    }
    case PixelFormat::k8Bit:
      row[x] = Nearest(c);
      break;
    case PixelFormat::k24Bit:
      PutBgr(row + 3 * x, c);
      break;
  }
}

void Bitmap::SetFormat(PixelFormat format) {
  if (format == format_) return;
  SetFormat(format, DefaultPalette(format));
}

void Bitmap::SetFormat(PixelFormat format, std::vector<Rgb> palette) {
  palette.resize(PaletteSize(format));
  const size_t stride = RowBytes(width_, format);
  std::vector<uint8_t> pixels(stride * static_cast<size_t>(height_));
  const bool fromIndexed = format_ != PixelFormat::k24Bit, toIndexed = format != PixelFormat::k24Bit;
  if (fromIndexed && toIndexed) {
    // Each entry of the old table has one nearest entry in the new one.
    std::array<uint8_t, 256> map{};
    for (size_t i = 0; i < palette_.size(); ++i) map[i] = NearestIndex(palette, palette_[i]);
    std::vector<uint8_t> indices(static_cast<size_t>(width_));
    for (int y = 0; y < height_; ++y) {
      ForEachIndex(Row(y), 0, width_, format_, [&](int x, int i) { indices[x] = map[i]; });
      PackRow(pixels.data() + y * stride, width_, format, [&](int x) { return indices[x]; });
    }
  } else if (fromIndexed) {
    for (int y = 0; y < height_; ++y) {
      uint8_t* out = pixels.data() + y * stride;
      ForEachIndex(Row(y), 0, width_, format_, [&](int x, int i) { PutBgr(out + 3 * x, palette_[i]); });
    }
  } else if (toIndexed) {
    NearestCache cache(palette);
    for (int y = 0; y < height_; ++y) {
      const uint8_t* in = Row(y);
      PackRow(pixels.data() + y * stride, width_, format,
              [&](int x) { return cache.Find(in[3 * x + 2], in[3 * x + 1], in[3 * x]); });
    }
  } else {
    pixels = pixels_;
  }
  format_ = format;
  stride_ = stride;
  pixels_ = std::move(pixels);
  palette_ = std::move(palette);
}

void Bitmap::Fill(Rgb c) {
  if (Empty()) return;
  uint8_t* row0 = Row(0);
  if (format_ == PixelFormat::k24Bit) {
    for (int x = 0; x < width_; ++x) PutBgr(row0 + 3 * x, c);
  } else {
    const uint8_t index = Nearest(c);
    PackRow(row0, width_, format_, [&](int) { return index; });
  }
  for (int y = 1; y < height_; ++y) std::memcpy(Row(y), row0, stride_);
}

}  // namespace bookloom
