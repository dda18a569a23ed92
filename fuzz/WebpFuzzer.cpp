// Fuzzes the WebP decoder (libwebp) from memory, every frame of an animation.
#include "DecoderFuzzing.h"
#include "decoders/WebpDecoder.h"

BOOKLOOM_FUZZ_DECODER_ALL_FRAMES(bookloom::WebpDecoder)
