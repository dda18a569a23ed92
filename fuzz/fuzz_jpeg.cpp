// Fuzzes the JPEG decoder (libjpeg-turbo) from memory: every input is decoded whole, and again at
// the reduced scale a small page asks for.
#include "FuzzDecoder.h"
#include "decoders/JpegDecoder.h"

namespace {

std::unique_ptr<bookloom::TGraphic> DecodeJpegForSmallPage(std::string_view bytes, const std::u16string& name,
                                                           int64_t maxPixels) {
  return bookloom::DecodeJpegToFit(bytes, name, {60, 80}, maxPixels);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bookloom::fuzz::Decode(bookloom::DecodeJpeg, data, size, bookloom::kMaxPicturePixels);
  bookloom::fuzz::Decode(DecodeJpegForSmallPage, data, size, bookloom::kMaxPicturePixels);
  return 0;
}
