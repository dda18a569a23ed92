// Fuzzes the PNG decoder (libpng) from memory.
#include "FuzzDecoder.h"
#include "decoders/PngDecoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bookloom::TPngDecoder decoder;
  bookloom::fuzz::Decode(decoder, data, size, u"fuzz.png");
  return 0;
}
