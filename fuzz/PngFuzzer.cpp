// Fuzzes the PNG decoder (libpng) from memory.
#include "DecoderFuzzing.h"
#include "decoders/PngDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodePng, bookloom::kMaxPicturePixels)
