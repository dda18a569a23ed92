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
std::unique_ptr<Graphic> DecodeJpeg(std::string_view bytes, const std::u16string& nameForMessages,
                                    int64_t maxPixels = kMaxPicturePixels);

// Raises exactly as DecodeJpeg does for the same bytes, without making the picture: the coded data
// is read through, the pixels are not computed (a CheckFunction).
void CheckJpeg(std::string_view bytes, const std::u16string& nameForMessages,
               int64_t maxPixels = kMaxPicturePixels);

}  // namespace bookloom
