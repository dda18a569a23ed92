// Packs a prepared page into a book picture's pixel data: 1 or 2 bits per pixel, LZSS-compressed,
// closed by one zero byte.
#pragma once

#include <cstdint>
#include <string>

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

// A page packed and compressed for the book: what its picture tag tells, and its data.
struct EncodedPicture {
  int width = 0, height = 0;
  uint16_t bitCount = 0;
  std::string data;  // as EncodePicture writes it
};

// The page as EncodePicture packs and compresses it; "Bad input image!" when it cannot be encoded.
// Touches nothing shared: pages are compressed on several threads at once.
EncodedPicture EncodePage(const Bitmap& bitmap, uint16_t bitCount);

}  // namespace bookloom
