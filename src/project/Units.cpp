#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "project/cBlmFileItemRegister.h"
#include "text/cBlmFileItemText.h"
#include "text/uUniWin1251.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  CreateFileItemFormats();
  RegisterTextItem();
  CreateDecoderRegistry();
  CreateWin1251Codec();
}

Units::~Units() {
  DestroyWin1251Codec();
  DestroyDecoderRegistry();
  UnregisterTextItem();
  DestroyFileItemFormats();
}

}  // namespace bookloom
