#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "text/uUniWin1251.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateDecoderRegistry();
  CreateWin1251Codec();
}

Units::~Units() {
  DestroyWin1251Codec();
  DestroyDecoderRegistry();
}

}  // namespace bookloom
