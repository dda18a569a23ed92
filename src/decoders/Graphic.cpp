#include "decoders/Graphic.h"

#include <cstring>

#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"

namespace bookloom {

namespace {
PictureSizeLimits limits;
}

const PictureSizeLimits& PictureLimits() { return limits; }
void SetPictureLimits(const PictureSizeLimits& newLimits) { limits = newLimits; }

void CheckPictureSize(int64_t width, int64_t height, const std::u16string& fileName, int64_t maxPixels) {
  if (width <= 0 || height <= 0)
    RaiseDecodeError(fileName, Format("it has no pixels (%dx%d)", {width, height}));
  // Both sides are at most the side limit here, so the product cannot overflow.
  if (width > limits.maxSide || height > limits.maxSide || width * height > limits.maxPixels)
    RaiseDecodeError(fileName,
                     Format("%dx%d pixels is larger than the limit of %d pixels a side and %d pixels "
                            "in all",
                            {width, height, limits.maxSide, limits.maxPixels}));
  if (width * height > maxPixels)
    RaiseDecodeError(
        fileName, Format("%dx%d pixels is larger than the limit of %d pixels", {width, height, maxPixels}));
}

DecodedFrames GraphicDecoder::DecodeFile(const std::u16string& fileName, const DecodeOptions& options) const {
  return Decode(ReadFileBytes(fileName), fileName, options);
}

std::unique_ptr<Graphic> GraphicDecoder::LoadFromFile(const std::u16string& fileName) const {
  return std::move(DecodeFile(fileName).frames.front());
}

std::unique_ptr<Graphic> GraphicDecoder::LoadFromMemory(std::string_view bytes,
                                                        const std::u16string& fileName,
                                                        const DecodeOptions& options) const {
  return std::move(Decode(bytes, fileName, options).frames.front());
}

DecodedFrames FunctionDecoder::Decode(std::string_view bytes, const std::u16string& fileName,
                                      const DecodeOptions& options) const {
  DecodedFrames decoded;
  decoded.frames.push_back(decode_(bytes, fileName, kMaxPicturePixels));
  if (options.gray) decoded.frames.front()->MakeGray();
  return decoded;
}

void FunctionDecoder::CheckFile(const std::u16string& fileName) const {
  Check(ReadFileBytes(fileName), fileName);
}

void FunctionDecoder::Check(std::string_view bytes, const std::u16string& fileName) const {
  if (!check_) return GraphicDecoder::Check(bytes, fileName);
  check_(bytes, fileName, kMaxPicturePixels);
}

namespace {

// A colour of a pixel with alpha `a` over white: c * a / 255 + 255 * (255 - a) / 255, rounded.
uint8_t OverWhite(unsigned c, unsigned a) {
  return static_cast<uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

}  // namespace

Graphic::Graphic(int width, int height, PixelLayout layout, Pixels pixels)
    : width_(width), height_(height), layout_(layout) {
  const size_t size = Stride() * static_cast<size_t>(height_);
  pixels_ = AllocateLargeBlock<uint8_t>(size);
  if (pixels == Pixels::kZero) std::memset(pixels_.get(), 0, size);
}

void Graphic::AssignTo(Bitmap& target) const {
  target = Bitmap(width_, height_, PixelFormat::k24Bit);
  for (int y = 0; y < height_; ++y) {
    const uint8_t* in = Row(y);
    uint8_t* out = target.Row(y);
    switch (layout_) {
      case PixelLayout::kGray:
        for (int x = 0; x < width_; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
        break;
      case PixelLayout::kRgb:
        for (int x = 0; x < width_; ++x, in += 3, out += 3) {
          out[0] = in[2];
          out[1] = in[1];
          out[2] = in[0];
        }
        break;
      case PixelLayout::kRgba:
        for (int x = 0; x < width_; ++x, in += 4, out += 3) {
          out[0] = OverWhite(in[2], in[3]);
          out[1] = OverWhite(in[1], in[3]);
          out[2] = OverWhite(in[0], in[3]);
        }
        break;
    }
  }
}

void Graphic::MakeGray() {
  if (layout_ == PixelLayout::kGray) return;
  const size_t count = static_cast<size_t>(width_) * height_;
  LargeBlock<uint8_t> gray = AllocateLargeBlock<uint8_t>(count);
  const uint8_t* in = pixels_.get();
  if (layout_ == PixelLayout::kRgb) {
    for (size_t i = 0; i < count; ++i, in += 3) gray[i] = GrayOf(in[0], in[1], in[2]);
  } else {
    for (size_t i = 0; i < count; ++i, in += 4)
      gray[i] = GrayOf(OverWhite(in[0], in[3]), OverWhite(in[1], in[3]), OverWhite(in[2], in[3]));
  }
  pixels_ = std::move(gray);
  layout_ = PixelLayout::kGray;
}

void Graphic::DropUniformAlpha() {
  if (!HasAlpha()) return;
  const size_t count = static_cast<size_t>(width_) * height_;
  const uint8_t first = pixels_[3];
  if (first != 0 && first != 255) return;
  for (size_t i = 3; i < 4 * count; i += 4)
    if (pixels_[i] != first) return;
  LargeBlock<uint8_t> opaque = AllocateLargeBlock<uint8_t>(3 * count);
  for (size_t i = 0; i < count; ++i) {
    opaque[3 * i] = pixels_[4 * i];
    opaque[3 * i + 1] = pixels_[4 * i + 1];
    opaque[3 * i + 2] = pixels_[4 * i + 2];
  }
  pixels_ = std::move(opaque);
  layout_ = PixelLayout::kRgb;
}

}  // namespace bookloom
