// Feeds arbitrary bytes to the Autodesk Animator decoder: it must decode them or raise DecodeError.
#include "DecoderFuzzing.h"
#include "decoders/AutodeskDecoder.h"

BOOKLOOM_FUZZ_DECODE_FUNCTION(bookloom::DecodeAutodesk, bookloom::kMaxPicturePixels)
