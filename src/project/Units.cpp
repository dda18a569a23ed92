#include "project/Units.h"

#include "decoders/DecoderRegistry.h"
#include "decoders/LibraryDecoders.h"
#include "decoders/OwnDecoders.h"
#include "pictures/cBlmFileItemImage.h"
#include "platform/Exception.h"
#include "platform/Memory.h"
#include "project/cBlmFileItemRegister.h"
#include "text/cBlmFileItemText.h"
#include "text/uUniWin1251.h"
#include "wolf/uLZSS32.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Units::Units() {
  ReuseLargeBlocks();
  CreateFileItemFormats();
  RegisterTextItem();
  RegisterImageItem();
  CreateDecoderRegistry();
  RegisterLibraryDecoders(DecoderRegistry());
  RegisterOwnDecoders(DecoderRegistry());
  // Without its work buffers every picture would be written empty: refuse to start instead.
  if (!LzssInit()) {
    DestroyDecoderRegistry();
    UnregisterImageItem();
    UnregisterTextItem();
    DestroyFileItemFormats();
    Raise<EOutOfMemory>("Not enough memory for the picture compressor");
  }
  CreateWin1251Codec();
}

Units::~Units() {
  DestroyWin1251Codec();
  LzssDone();
  DestroyDecoderRegistry();
  ReleaseOwnDecoderCaches();
  UnregisterImageItem();
  UnregisterTextItem();
  DestroyFileItemFormats();
}

}  // namespace bookloom
