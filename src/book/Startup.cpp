#include "book/Startup.h"

#include "book/DocumentFileItem.h"
#include "book/FileTypeRegistry.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
#include "decoders/DecoderRegistry.h"
#include "decoders/EmfDecoder.h"
#include "decoders/PictureFormats.h"
#include "platform/Memory.h"
#include "text/Win1251.h"

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
  Win1251Codec::CreateInstance(UnmappedPolicy::kSkip);
}

Startup::~Startup() {
  Win1251Codec::DestroyInstance();
  DecoderRegistry::DestroyInstance();
  ReleaseEmfCaches();
  UnregisterDocumentItems();
  UnregisterPictureItem();
  UnregisterTextItem();
  FileTypeRegistry::DestroyInstance();
}

}  // namespace bookloom
