// Packs a prepared page into a book picture's pixel data: 1 or 2 bits per pixel, LZSS-compressed,
// closed by one zero byte.
#pragma once

#include <cstdint>

#include "platform/Bitmap.h"
#include "platform/Stream.h"

namespace bookloom {

// The 2-bit level of a grey value: 0 black (g <= 64), 1 dark grey (<= 160), 2 light grey (<= 224),
// 3 white.
uint8_t GrayToLevel(uint8_t g);

// Writes the compressed pixel rows of the bitmap and a closing 0x00 to the stream and returns the
// number of bytes written. bitCount 1 takes a 1-bit bitmap (1 = black in the output); bitCount 2
// takes a 24-bit grey bitmap or a 4-bit one (level = top two bits of the index). Any other
// combination returns 0 and writes nothing. Stream errors propagate.
uint32_t EncodePicture(OutputStream& stream, const Bitmap& bitmap, uint16_t bitCount);

}  // namespace bookloom
