#include "book/Startup.h"

#include "book/DocumentFileItem.h"
#include "book/FileTypeRegistry.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
#include "decoders/DecoderRegistry.h"
#include "decoders/EmfDecoder.h"
#include "decoders/PictureFormats.h"
#include "platform/Exception.h"
#include "platform/Memory.h"
#include "text/Win1251.h"
#include "wolf/Lzss.h"

namespace bookloom {

// Each unit starts after the units it uses; shut-down runs in the reverse order.
Startup::Startup() {
  ConfigureAllocator();
  FileTypeRegistry::CreateInstance();
  RegisterTextItem();
  RegisterPictureItem();
  RegisterDocumentItems();
  DecoderRegistry::CreateInstance();
  RegisterPictureDecoders(DecoderRegistry::Instance());
  // Without its work buffers every picture would be written empty: refuse to start instead.
  if (!LzssInit()) {
    DecoderRegistry::DestroyInstance();
    UnregisterDocumentItems();
    UnregisterPictureItem();
    UnregisterTextItem();
    FileTypeRegistry::DestroyInstance();
    Raise<OutOfMemoryError>("Not enough memory for the picture compressor");
  }
  Win1251Codec::CreateInstance(UnmappedPolicy::kSkip);
}

Startup::~Startup() {
  Win1251Codec::DestroyInstance();
  LzssDone();
  DecoderRegistry::DestroyInstance();
  ReleaseEmfCaches();
  UnregisterDocumentItems();
  UnregisterPictureItem();
  UnregisterTextItem();
  FileTypeRegistry::DestroyInstance();
}

}  // namespace bookloom
