#include "platform/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>

#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

void WriteGrayPng(const std::u16string& fileName, int width, int height, const std::vector<uint8_t>& gray) {
  std::FILE* file = std::fopen(Utf16ToUtf8(fileName).c_str(), "wb");
  if (!file) Raise<FileCreateError>("Cannot create file \"%s\". %s", {fileName, SystemErrorText(errno)});
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
      png_write_row(png, const_cast<png_bytep>(gray.data() + static_cast<size_t>(y) * width));
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  const bool closed = std::fclose(file) == 0;
  if (!ok || !closed) Raise<WriteError>("Cannot write PNG file \"%s\"", {fileName});
}

}  // namespace bookloom
