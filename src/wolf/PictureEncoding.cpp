#include "wolf/PictureEncoding.h"

#include <algorithm>

#include "platform/Exception.h"
#include "wolf/Lzss.h"

namespace bookloom {

namespace {

// Packs output bytes [first, first + count) of a row at 2 bits per pixel, leftmost pixel in the
// high bits; bit pairs past the last pixel stay 0. levelOf(x) gives the level of pixel x.
template <class LevelOf>
void PackLevels(int width, size_t first, size_t count, uint8_t* out, LevelOf levelOf) {
  for (size_t j = first; j < first + count; ++j) {
    const size_t x0 = 4 * j;
    const size_t pixels = std::min<size_t>(4, static_cast<size_t>(width) - x0);
    unsigned v = 0;
    for (size_t k = 0; k < pixels; ++k) v |= static_cast<unsigned>(levelOf(x0 + k)) << (6 - 2 * k);
    *out++ = static_cast<uint8_t>(v);
  }
}

// Produces the uncompressed pixel stream on demand, row after row, keeping its place between calls.
class RowReader {
 public:
  RowReader(const Bitmap& bitmap, uint16_t bitCount)
      : bitmap_(bitmap),
        rowBytes_(bitCount == 1 ? bitmap.Stride() : (static_cast<size_t>(bitmap.Width()) + 3) / 4) {}

  // Fills up to kLzssBufferSize bytes; 0 once the last row is done.
  size_t Read(uint8_t* buffer) {
    size_t n = 0;
    while (n < kLzssBufferSize && y_ < bitmap_.Height()) {
      const size_t count = std::min(rowBytes_ - x_, kLzssBufferSize - n);
      PackRow(bitmap_.Row(y_), count, buffer + n);
      n += count;
      x_ += count;
      if (x_ == rowBytes_) {
        x_ = 0;
        ++y_;
      }
    }
    return n;
  }

 private:
  void PackRow(const uint8_t* row, size_t count, uint8_t* out) const {
    const int width = bitmap_.Width();
    switch (bitmap_.Format()) {
      case PixelFormat::k1Bit:  // the bitmap holds 0 for black, the book 1
        for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(~row[x_ + i]);
        break;
      case PixelFormat::k4Bit:
        PackLevels(width, x_, count, out,
                   [row](size_t x) { return (((x & 1) ? row[x >> 1] : row[x >> 1] >> 4) >> 2) & 3; });
        break;
      case PixelFormat::k24Bit:
        PackLevels(width, x_, count, out, [row](size_t x) { return GrayToLevel(row[3 * x]); });
        break;
      case PixelFormat::k8Bit:
        break;  // refused by EncodePicture
    }
  }

  const Bitmap& bitmap_;
  const size_t rowBytes_;
  int y_ = 0;
  size_t x_ = 0;  // next output byte of the current row
};

bool Accepts(PixelFormat format, uint16_t bitCount) {
  if (bitCount == 1) return format == PixelFormat::k1Bit;
  if (bitCount == 2) return format == PixelFormat::k4Bit || format == PixelFormat::k24Bit;
  return false;
}

}  // namespace

uint8_t GrayToLevel(uint8_t g) { return static_cast<uint8_t>((g > 64) + (g > 160) + (g > 224)); }

uint32_t EncodePicture(OutputStream& stream, const Bitmap& bitmap, uint16_t bitCount) {
  if (!Accepts(bitmap.Format(), bitCount)) return 0;
  RowReader reader(bitmap, bitCount);
  uint64_t total = 0;
  LzssEncode([&reader](uint8_t* buffer) { return reader.Read(buffer); },
             [&stream, &total](const uint8_t* data, size_t count) {
               stream.Write(data, count);
               total += count;
             });
  stream.WriteByte(0);
  return static_cast<uint32_t>(total + 1);
}

EncodedPicture EncodePage(const Bitmap& bitmap, uint16_t bitCount) {
  MemoryOutputStream stream;
  if (EncodePicture(stream, bitmap, bitCount) == 0) Raise<Exception>("Bad input image!");
  return {bitmap.Width(), bitmap.Height(), bitCount, std::move(stream.Bytes())};
}

}  // namespace bookloom
