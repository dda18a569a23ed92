// Autodesk Animator pictures (.cel, .pic): the original Animator's 0x9119 pictures and cels,
// Animator Pro's 0x9500 pictures, and Animator Pro cels stored as FLI/FLC animations (first frame).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

// Decodes the bytes of a file (a DecodeFunction); the name is only used in error messages.
// Pictures of more than `maxPixels` pixels are refused.
std::unique_ptr<Graphic> DecodeAutodesk(std::string_view bytes, const std::u16string& nameForMessages,
                                        int64_t maxPixels = kMaxPicturePixels);

}  // namespace bookloom
