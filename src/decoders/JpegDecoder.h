// JPEG pictures through libjpeg-turbo: colour, greyscale, CMYK and YCCK, baseline and progressive,
// turned upright as their Exif orientation says; grey straight from the Y channel where asked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

// Decodes the bytes of a file; the name is only used in error messages. With `options.gray` a file
// stored as YCbCr or greyscale gives its own Y channel, others are made grey from RGB. A file whose
// coded data ends early or breaks off gives what was decoded, marked incomplete. Pictures of more
// than `maxPixels` pixels are refused.
DecodedFrames DecodeJpeg(std::string_view bytes, const std::u16string& nameForMessages,
                         const DecodeOptions& options = {}, int64_t maxPixels = kMaxPicturePixels);

// Raises exactly as DecodeJpeg does for the same bytes, without making the picture: the header is
// read and the decoder started (a CheckFunction).
void CheckJpeg(std::string_view bytes, const std::u16string& nameForMessages,
               int64_t maxPixels = kMaxPicturePixels);

class JpegDecoder final : public GraphicDecoder {
 public:
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;
  void CheckFile(const std::u16string& fileName) const override;
  void Check(std::string_view bytes, const std::u16string& fileName) const override;
};

}  // namespace bookloom
