// Fuzzes the SVG decoder (librsvg and cairo) from memory.
#include "DecoderFuzzing.h"
#include "decoders/SvgDecoder.h"

// Fontconfig, FreeType, Pango and cairo keep the fonts the drawings' text has looked up for the rest
// of the process; inputs that name new fonts are not leaking.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libcairo.so\nleak:libpango\nleak:libharfbuzz.so\n";
}

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodeSvg, bookloom::kMaxPicturePixels)
