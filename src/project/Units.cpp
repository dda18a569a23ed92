#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "decoders/LibraryDecoders.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateDecoderRegistry();
  RegisterLibraryDecoders(DecoderRegistry());
}

Units::~Units() {
  DestroyDecoderRegistry();
}

}  // namespace bookloom
