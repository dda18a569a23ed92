#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "wolf/uLZSS32.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateDecoderRegistry();
  LzssInit();  // when this fails, pictures compress to nothing, as the picture encoder expects
}

Units::~Units() {
  LzssDone();
  DestroyDecoderRegistry();
}

}  // namespace bookloom
