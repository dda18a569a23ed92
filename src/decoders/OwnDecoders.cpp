#include "decoders/OwnDecoders.h"

#include "decoders/AutodeskDecoder.h"
#include "decoders/DecoderRegistry.h"
#include "decoders/EmfDecoder.h"
#include "decoders/PsdDecoder.h"
#include "decoders/PspDecoder.h"

namespace bookloom {

void RegisterOwnDecoders(TDecoderRegistry& registry) {
  const auto photoshop = std::make_shared<TPsdDecoder>();
  registry.Register(u"psd", u"Photoshop images", photoshop);
  registry.Register(u"pdd", u"Photoshop images", photoshop);
  registry.Register(u"psp", u"Paintshop Pro images", std::make_shared<TPspDecoder>());
  registry.Register(u"emf", u"Windows enhanced meta files", std::make_shared<TEmfDecoder>());
  const auto autodesk = std::make_shared<TAutodeskDecoder>();
  registry.Register(u"cel", u"Autodesk images", autodesk);
  registry.Register(u"pic", u"Autodesk images", autodesk);
}

}  // namespace bookloom
