// Device-independent bitmaps as metafile records carry them (a BITMAPINFO and separate bits):
// 1, 4, 8, 16, 24 and 32 bits per pixel, checked against the bytes they come in.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace bookloom {

// Opaque pixels in cairo's ARGB32 layout (0xFFRRGGBB), rows from the top.
struct DibImage {
  int width = 0, height = 0;
  bool bottomUp = true;  // as stored: the rows of source rectangles count from the bottom
  std::vector<uint32_t> argb;
};

// Decodes a bitmap from its info (header and colour table) and its bits. Nothing when the header
// is not understood, the compression is not plain rows (or bit fields), the picture has more than
// `maxPixels` pixels, or the bits are too few for the rows.
std::optional<DibImage> DecodeDib(std::string_view info, std::string_view bits, int64_t maxPixels);

}  // namespace bookloom
