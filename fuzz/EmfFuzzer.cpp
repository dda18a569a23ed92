// Feeds arbitrary bytes to the enhanced metafile decoder: it must decode them or raise DecodeError.
#include "DecoderFuzzing.h"
#include "decoders/EmfDecoder.h"

// Fontconfig, FreeType and cairo keep the fonts they have looked up for the rest of the process
// (the program frees them at shut-down); inputs that name new fonts are not leaking.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libcairo.so\n";
}

// The metafile module is loaded before the first input, so that no input pays for loading it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  bookloom::StartEmfDecoder(bookloom::fuzz::TargetRuntime());
  return 0;
}

// Frames are drawn small, so that one input cannot keep the fuzzer busy for long.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bookloom::fuzz::Decode(
      [](std::string_view bytes, const std::u16string& name, int64_t maxPixels) {
        return bookloom::DecodeEmf(bookloom::fuzz::TargetRuntime(), bytes, name, maxPixels);
      },
      data, size, 256 * 256);
  return 0;
}
