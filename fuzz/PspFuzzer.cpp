// Feeds arbitrary bytes to the Paint Shop Pro decoder: it must decode them or raise DecodeError.
#include "DecoderFuzzing.h"
#include "decoders/PspDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodePsp, bookloom::kMaxPicturePixels)
