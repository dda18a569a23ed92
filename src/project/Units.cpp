#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "decoders/OwnDecoders.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateDecoderRegistry();
  RegisterOwnDecoders(DecoderRegistry());
}

Units::~Units() {
  DestroyDecoderRegistry();
  ReleaseOwnDecoderCaches();
}

}  // namespace bookloom
