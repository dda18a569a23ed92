// PNG pictures through libpng: every colour type and depth, interlaced or not; a real alpha channel
// only where the file has transparency (an alpha channel or a transparent colour).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

// Decodes the bytes of a file (a DecodeFunction); the name is only used in error messages.
// Pictures of more than `maxPixels` pixels are refused.
std::unique_ptr<Graphic> DecodePng(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels = kMaxPicturePixels);

}  // namespace bookloom
