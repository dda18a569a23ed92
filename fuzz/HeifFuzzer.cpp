// Fuzzes the HEIF and AVIF decoder (libheif) from memory, every image of a file.
#include "DecoderFuzzing.h"
#include "decoders/HeifDecoder.h"

// libheif's AV1 decoder (dav1d) drops the 40-byte buffer it wraps a damaged image's data in when
// dav1d refuses that data (strukturag/libheif#1753): a fault of the library, not ours. Named by its
// module, which needs no symbolizer.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d.so\n"; }

BOOKLOOM_FUZZ_DECODER_ALL_FRAMES(bookloom::HeifDecoder)
