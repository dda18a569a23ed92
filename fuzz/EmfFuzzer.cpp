// Feeds arbitrary bytes to the enhanced metafile decoder: it must decode them or raise DecodeError.
#include "DecoderFuzzing.h"
#include "decoders/emf/EmfDecoder.h"

// Fontconfig, FreeType and cairo keep the fonts they have looked up for the rest of the process
// (the program frees them at shut-down); inputs that name new fonts are not leaking.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libcairo.so\n";
}

// Frames are drawn small, so that one input cannot keep the fuzzer busy for long.
BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodeEmf, 256 * 256)
