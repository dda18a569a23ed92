// Fuzzes the JPEG decoder (libjpeg-turbo) from memory.
#include "DecoderFuzzing.h"
#include "decoders/JpegDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodeJpeg, bookloom::kMaxPicturePixels)
