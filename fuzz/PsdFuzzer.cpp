// Feeds arbitrary bytes to the Photoshop decoder: it must decode them or raise DecodeError.
#include "DecoderFuzzing.h"
#include "decoders/PsdDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodePsd, bookloom::kMaxPicturePixels)
