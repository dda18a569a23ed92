// Fuzzes the JPEG decoder (libjpeg-turbo) from memory, in colour and grey.
#include "DecoderFuzzing.h"
#include "decoders/JpegDecoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const bool gray : {false, true}) {
    try {
      bookloom::DecodeJpeg(bytes, u"fuzz", {.gray = gray});
    } catch (const bookloom::DecodeError&) {
    }
  }
  return 0;
}
