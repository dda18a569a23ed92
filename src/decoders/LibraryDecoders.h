// Registers the decoders that read through libraries (libjpeg-turbo, libpng, GraphicsMagick) with
// the extensions they read.
#pragma once

#include "decoders/DecoderRegistry.h"

namespace bookloom {

// Registers every extension of the library decoders, with its description, and starts
// GraphicsMagick.
void RegisterLibraryDecoders(DecoderRegistry& registry);

}  // namespace bookloom
