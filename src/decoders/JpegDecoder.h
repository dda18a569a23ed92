// JPEG pictures through libjpeg-turbo: colour, greyscale, CMYK and YCCK, baseline and progressive,
// turned upright as their Exif orientation says.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

// Decodes the bytes of a file (a DecodeFunction); the name is only used in error messages.
// Pictures of more than `maxPixels` pixels are refused.
std::unique_ptr<TGraphic> DecodeJpeg(std::string_view bytes, const std::u16string& nameForMessages,
                                     int64_t maxPixels = kMaxPicturePixels);

// The same for a picture about to be fitted into `area`: one that is to be shrunk is decoded at the
// smallest of the decoder's scales (eighths of its size) that keeps kFitOversampling times its
// fitted size; the graphic's full size stays the picture's own.
std::unique_ptr<TGraphic> DecodeJpegToFit(std::string_view bytes, const std::u16string& nameForMessages,
                                          PixelSize area, int64_t maxPixels = kMaxPicturePixels);

// Raises exactly as DecodeJpeg does for the same bytes, without making the picture: the coded data
// is read through, the pixels are not computed.
void CheckJpeg(std::string_view bytes, const std::u16string& nameForMessages,
               int64_t maxPixels = kMaxPicturePixels);

class TJpegDecoder final : public TGraphicDecoder {
 public:
  std::unique_ptr<TGraphic> LoadFromMemory(std::string_view bytes, const std::u16string& fileName) const override;
  std::unique_ptr<TGraphic> LoadToFit(const std::u16string& fileName, PixelSize area) const override;
  void CheckFile(const std::u16string& fileName) const override;
};

}  // namespace bookloom
