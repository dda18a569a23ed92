#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "wolf/uLZSS32.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateDecoderRegistry();
  LzssInit();  // if this fails the compressor stays not ready and pictures encode to nothing
}

Units::~Units() {
  LzssDone();
  DestroyDecoderRegistry();
}

}  // namespace bookloom
