#include "platform/PngFile.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The greys a picture holds, when they are at most four: the pages of a book hold black and white
// or four greys, which pack into one or two bits a pixel. Empty when there are more.
std::vector<uint8_t> FewGreys(const std::vector<uint8_t>& gray) {
  std::array<bool, 256> seen{};
  for (const uint8_t g : gray) seen[g] = true;
  std::vector<uint8_t> greys;
  for (int g = 0; g < 256; ++g)
    if (seen[g]) greys.push_back(static_cast<uint8_t>(g));
  if (greys.size() > 4) greys.clear();
  return greys;
}

}  // namespace

void WriteGrayPng(const std::u16string& fileName, int width, int height, const std::vector<uint8_t>& gray) {
  // Black and white goes as 1-bit grey, up to four greys as a 2-bit palette of them, more as 8-bit grey.
  const std::vector<uint8_t> greys = FewGreys(gray);
  const bool blackAndWhite =
      !greys.empty() && std::all_of(greys.begin(), greys.end(), [](uint8_t g) { return g == 0 || g == 255; });
  const int bits = blackAndWhite ? 1 : greys.empty() ? 8 : 2;
  std::array<uint8_t, 256> indexOf{};
  for (size_t i = 0; i < greys.size(); ++i)
    indexOf[greys[i]] = static_cast<uint8_t>(blackAndWhite ? greys[i] & 1 : i);
  std::vector<png_color> palette;
  for (const uint8_t g : greys) palette.push_back({g, g, g});

  std::FILE* file = std::fopen(Utf16ToUtf8(fileName).c_str(), "wb");
  if (!file) Raise<FileCreateError>("Cannot create file \"%s\". %s", {fileName, SystemErrorText(errno)});
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<uint8_t> packed((static_cast<size_t>(width) * bits + 7) / 8);
  bool ok = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bits,
                 bits == 2 ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (bits == 2) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    // Dithered pages gain nothing from filters; the quickest compression keeps writing quick.
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = gray.data() + static_cast<size_t>(y) * width;
      if (bits == 8) {
        png_write_row(png, row);
        continue;
      }
      std::fill(packed.begin(), packed.end(), 0);
      if (bits == 1)
        for (int x = 0; x < width; ++x)
          packed[x >> 3] |= static_cast<uint8_t>(indexOf[row[x]] << (7 - (x & 7)));
      else
        for (int x = 0; x < width; ++x)
          packed[x >> 2] |= static_cast<uint8_t>(indexOf[row[x]] << (6 - 2 * (x & 3)));
      png_write_row(png, packed.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) Raise<WriteError>("Cannot write PNG file \"%s\"", {fileName});
}

}  // namespace bookloom
