#include "emf/DibPixels.h"

#include <algorithm>
#include <bit>

namespace bookloom {

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

uint32_t ReadU32(std::string_view s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
         uint32_t(uint8_t(s[at + 3])) << 24;
}
uint16_t ReadU16(std::string_view s, size_t at) { return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8); }

// The value of a bit-field pixel's component scaled to 8 bits.
struct Field {
  uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit Field(uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    bits = std::popcount(m >> shift);
  }
  uint32_t Get(uint32_t pixel) const {
    if (!mask) return 0;
    const uint32_t v = (pixel & mask) >> shift;
    const uint32_t top = (bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1);
    return bits >= 8 ? v >> (bits - 8) : (v * 255 + top / 2) / top;
  }
};

}  // namespace

std::optional<DibImage> DecodeDib(std::string_view info, std::string_view bits, int64_t maxPixels) {
  if (info.size() < 12) return std::nullopt;
  const uint32_t headerSize = ReadU32(info, 0);
  int64_t width, height;
  int bitCount;
  uint32_t compression = kRgb, colorsUsed = 0;
  size_t entrySize = 4;
  if (headerSize == 12) {  // the old core header
    width = ReadU16(info, 4);
    height = static_cast<int16_t>(ReadU16(info, 6));
    bitCount = ReadU16(info, 10);
    entrySize = 3;
  } else {
    if (headerSize < 40 || info.size() < 40) return std::nullopt;
    width = static_cast<int32_t>(ReadU32(info, 4));
    height = static_cast<int32_t>(ReadU32(info, 8));
    bitCount = ReadU16(info, 14);
    compression = ReadU32(info, 16);
    colorsUsed = ReadU32(info, 32);
  }
  const bool topDown = height < 0;
  height = height < 0 ? -height : height;
  if (width <= 0 || height <= 0 || width * height > maxPixels) return std::nullopt;
  if (compression != kRgb && !(compression == kBitFields && (bitCount == 16 || bitCount == 32)))
    return std::nullopt;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return std::nullopt;
  const size_t stride = static_cast<size_t>((width * bitCount + 31) / 32) * 4;
  if (bits.size() / stride < static_cast<size_t>(height)) return std::nullopt;

  // The colour table, or the masks of bit fields.
  std::vector<uint32_t> table;
  Field red(0x7C00), green(0x03E0), blue(0x001F);
  if (bitCount == 32) red = Field(0xFF0000), green = Field(0xFF00), blue = Field(0xFF);
  if (compression == kBitFields) {
    // The masks follow a 40-byte header, or are its continuation in the later headers.
    if (info.size() < 52) return std::nullopt;
    red = Field(ReadU32(info, 40)), green = Field(ReadU32(info, 44)), blue = Field(ReadU32(info, 48));
  } else if (bitCount <= 8) {
    size_t count = colorsUsed && colorsUsed < (1u << bitCount) ? colorsUsed : 1u << bitCount;
    count = std::min(count, (info.size() - std::min<size_t>(headerSize, info.size())) / entrySize);
    for (size_t i = 0; i < count; ++i) {
      const size_t at = headerSize + i * entrySize;
      table.push_back(0xFF000000u | uint32_t(uint8_t(info[at + 2])) << 16 |
                      uint32_t(uint8_t(info[at + 1])) << 8 | uint8_t(info[at]));
    }
    // Indexes beyond the table are black.
    table.resize(size_t(1) << bitCount, 0xFF000000u);
  }

  DibImage img{static_cast<int>(width), static_cast<int>(height), !topDown, {}};
  img.argb.resize(static_cast<size_t>(width) * height);
  for (int64_t y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint8_t*>(bits.data()) + (topDown ? y : height - 1 - y) * stride;
    uint32_t* out = img.argb.data() + y * width;
    for (int64_t x = 0; x < width; ++x) {
      switch (bitCount) {
        case 1:
          out[x] = table[(row[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          out[x] = table[(row[x >> 1] >> (x & 1 ? 0 : 4)) & 15];
          break;
        case 8:
          out[x] = table[row[x]];
          break;
        case 24:
          out[x] = 0xFF000000u | uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
          break;
        default: {
          const uint32_t p = bitCount == 16
                                 ? uint32_t(row[2 * x] | row[2 * x + 1] << 8)
                                 : uint32_t(row[4 * x]) | uint32_t(row[4 * x + 1]) << 8 |
                                       uint32_t(row[4 * x + 2]) << 16 | uint32_t(row[4 * x + 3]) << 24;
          out[x] = 0xFF000000u | red.Get(p) << 16 | green.Get(p) << 8 | blue.Get(p);
        }
      }
    }
  }
  return img;
}

}  // namespace bookloom
