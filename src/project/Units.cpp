#include "project/Units.h"

#include "decoders/DecoderRegistry.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateDecoderRegistry();
}

Units::~Units() {
  DestroyDecoderRegistry();
}

}  // namespace bookloom
