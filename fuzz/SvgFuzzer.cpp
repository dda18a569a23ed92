// Fuzzes the SVG decoder (librsvg and cairo) from memory.
#include "DecoderFuzzing.h"
#include "decoders/SvgDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodeSvg, bookloom::kMaxPicturePixels)
