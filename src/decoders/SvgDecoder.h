// SVG drawings through librsvg, loaded at the first drawing: drawn with cairo on white, at the largest
// size that fits the reader's page with the drawing's own proportions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

// The reader's page, which a drawing is sized to fit.
inline constexpr int kSvgPageWidth = 600;
inline constexpr int kSvgPageHeight = 800;

// Draws the bytes of a file with the run's librsvg; the name is only used in error messages. The drawing
// is an opaque picture that fits the page, never more than `maxPixels`.
std::unique_ptr<Graphic> DecodeSvg(const Runtime& runtime, std::string_view bytes,
                                   const std::u16string& nameForMessages,
                                   int64_t maxPixels = kMaxPicturePixels);

}  // namespace bookloom
