// Palette pictures as the own decoders build them: one index byte per pixel and a 256-entry
// colour table, turned into an RGB graphic in one pass.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "decoders/Graphic.h"
#include "platform/Bitmap.h"

namespace bookloom {

using Palette256 = std::array<Rgb, 256>;

// Entry i is the grey i: the table of a picture that brings none.
Palette256 GreyPalette();

// The picture of width x height indexes (rows from the top, `stride` bytes apart).
std::unique_ptr<Graphic> GraphicFromIndexes(int width, int height, const uint8_t* indexes, size_t stride,
                                            const Palette256& palette);

}  // namespace bookloom
