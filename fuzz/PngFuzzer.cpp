// Fuzzes the PNG decoder (libpng) from memory.
#include "FuzzDecoder.h"
#include "decoders/PngDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodePng, bookloom::kMaxPicturePixels)
