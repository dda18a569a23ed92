#include "decoders/PngDecoder.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace bookloom {

namespace {

// Chunks that do not change the pixels are skipped unread: libpng would otherwise allocate
// whatever length a damaged text or profile chunk claims, gigabytes included.
void IgnoreAncillaryChunks(png_structp png) {
  static const png_byte kIgnored[] =
      "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0tIME\0pHYs\0hIST\0bKGD\0oFFs\0pCAL\0sCAL\0";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnored, static_cast<int>(sizeof kIgnored / 5));
}

// libpng reports a fatal error through the error function, which must not return: ours jumps back
// to the setjmp of the step that is running. Only libpng's C frames and the plain callbacks below
// lie between the two; everything the steps touch lives in a Reader owned by the caller.
struct Reader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const unsigned char* data = nullptr;
  size_t size = 0;
  size_t position = 0;
  char message[200] = "";

  Reader(const unsigned char* bytes, size_t count) : data(bytes), size(count) {}
  ~Reader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
};

void OnError(png_structp png, png_const_charp message) {
  auto* r = static_cast<Reader*>(png_get_error_ptr(png));
  std::snprintf(r->message, sizeof r->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings (an unknown or damaged ancillary chunk) are not printed: the picture is whole.
void OnWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (count > r->size - r->position) png_error(png, "the file ends before the picture does");
  std::memcpy(out, r->data + r->position, count);
  r->position += count;
}

// Reads the header and sets the transformations to 8-bit RGB, with alpha where the file has an
// alpha channel or a transparent colour. Gamma chunks are not applied: the samples are taken as
// they are stored, as the other decoders take theirs.
bool ReadHeader(Reader& r, bool& alpha) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_read_fn(r.png, &r, ReadBytes);
  png_read_info(r.png, r.info);
  const int colorType = png_get_color_type(r.png, r.info);
  const bool transparentColor = png_get_valid(r.png, r.info, PNG_INFO_tRNS) != 0;
  alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparentColor;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r.png);
  if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(r.png, r.info) < 8)
    png_set_expand_gray_1_2_4_to_8(r.png);
  if (transparentColor) png_set_tRNS_to_alpha(r.png);
  png_set_scale_16(r.png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(r.png);
  png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  return true;
}

bool ReadImage(Reader& r, png_bytepp rows) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_image(r.png, rows);
  return true;
}

bool ReadEnd(Reader& r) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_end(r.png, nullptr);
  return true;
}

}  // namespace

std::unique_ptr<Graphic> DecodePng(std::string_view bytes, const std::u16string& fileName,
                                   int64_t maxPixels) {
  const auto fail = [&](const std::string& why) {
    RaiseDecodeError(fileName, "not a readable PNG file: " + why);
  };
  if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0)
    fail("it does not start with the PNG signature");

  Reader r(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, OnError, OnWarning);
  if (r.png) r.info = png_create_info_struct(r.png);
  if (!r.png || !r.info) fail("out of memory");
  IgnoreAncillaryChunks(r.png);
  bool alpha = false;
  if (!ReadHeader(r, alpha)) fail(r.message);
  const png_uint_32 width = png_get_image_width(r.png, r.info);
  const png_uint_32 height = png_get_image_height(r.png, r.info);
  CheckPictureSize(width, height, fileName, maxPixels);

  auto graphic =
      std::make_unique<Graphic>(static_cast<int>(width), static_cast<int>(height), RgbLayout(alpha));
  if (png_get_rowbytes(r.png, r.info) != graphic->Stride()) fail("libpng delivered an unexpected row layout");
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = graphic->Row(static_cast<int>(y));
  if (!ReadImage(r, rows.data())) fail(r.message);
  // What follows the pixels (text chunks, the end chunk) does not spoil the picture.
  ReadEnd(r);
  return graphic;
}

}  // namespace bookloom
