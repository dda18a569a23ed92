// Fuzzes the WebP decoder (libwebp) from memory, every frame of an animation.
#include "DecoderFuzzing.h"
#include "decoders/WebpDecoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    bookloom::WebpDecoder().Decode({reinterpret_cast<const char*>(data), size}, u"fuzz", {.allFrames = true});
  } catch (const bookloom::DecodeError&) {
  }
  return 0;
}
