#include "decoders/OwnDecoders.h"

#include "decoders/AutodeskDecoder.h"
#include "decoders/DecoderRegistry.h"

namespace bookloom {

void RegisterOwnDecoders(TDecoderRegistry& registry) {
  const auto autodesk = std::make_shared<TAutodeskDecoder>();
  registry.Register(u"cel", u"Autodesk images", autodesk);
  registry.Register(u"pic", u"Autodesk images", autodesk);
}

}  // namespace bookloom
