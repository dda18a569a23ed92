#include "decoders/PngDecoder.h"

#include <png.h>

namespace bookloom {

namespace {

// libpng's simplified reader: it keeps its own error recovery inside, converts palettes, grey,
// 16-bit samples and gamma to 8-bit sRGB, and turns a transparent colour into alpha.
class SimplePngReader {
 public:
  SimplePngReader() { image_.version = PNG_IMAGE_VERSION; }
  ~SimplePngReader() { png_image_free(&image_); }
  SimplePngReader(const SimplePngReader&) = delete;
  SimplePngReader& operator=(const SimplePngReader&) = delete;

  png_image& Image() { return image_; }
  std::string Why() const { return std::string("not a readable PNG file: ") + image_.message; }

 private:
  png_image image_{};
};

}  // namespace

std::unique_ptr<TGraphic> TPngDecoder::LoadFromMemory(std::string_view bytes,
                                                      const std::u16string& fileName) const {
  SimplePngReader reader;
  png_image& image = reader.Image();
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    RaiseDecodeError(fileName, reader.Why());
  CheckPictureSize(image.width, image.height, fileName);

  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  auto graphic =
      std::make_unique<TGraphic>(static_cast<int>(image.width), static_cast<int>(image.height), alpha);
  // A warning (an unknown chunk, a damaged ancillary chunk) leaves a complete picture.
  if (!png_image_finish_read(&image, nullptr, graphic->Row(0), static_cast<png_int_32>(graphic->Stride()),
                             nullptr))
    RaiseDecodeError(fileName, reader.Why());
  return graphic;
}

}  // namespace bookloom
