// Paint Shop Pro pictures (.psp) of file format 3 (Paint Shop Pro 5) and later: the composite image
// where the file keeps one, otherwise its visible raster layers composed in order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

// Decodes the bytes of a file (a DecodeFunction); the name is only used in error messages.
// Pictures of more than `maxPixels` pixels are refused.
std::unique_ptr<Graphic> DecodePsp(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels = kMaxPicturePixels);

}  // namespace bookloom
