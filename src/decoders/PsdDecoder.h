// Photoshop pictures (.psd, .pdd, and the large-document variant): the merged image that the file
// keeps beside its layers, in every colour mode a book can use, with its transparency.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

// Decodes the bytes of a file (a DecodeFunction); the name is only used in error messages.
// Pictures of more than `maxPixels` pixels are refused.
std::unique_ptr<Graphic> DecodePsd(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels = kMaxPicturePixels);

}  // namespace bookloom
