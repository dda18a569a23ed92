// Fuzzes the JPEG XL decoder (libjxl) from memory, every frame of an animation.
#include "DecoderFuzzing.h"
#include "decoders/JpegXlDecoder.h"

BOOKLOOM_FUZZ_DECODER_ALL_FRAMES(bookloom::JpegXlDecoder)
