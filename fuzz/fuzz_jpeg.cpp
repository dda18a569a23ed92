// Fuzzes the JPEG decoder (libjpeg-turbo) from memory.
#include "FuzzDecoder.h"
#include "decoders/JpegDecoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bookloom::TJpegDecoder decoder;
  bookloom::fuzz::Decode(decoder, data, size, u"fuzz.jpg");
  return 0;
}
