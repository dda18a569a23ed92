#include "decoders/OwnDecoders.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include "decoders/AutodeskDecoder.h"
#include "decoders/DecoderRegistry.h"
#include "decoders/PsdDecoder.h"
#include "decoders/PspDecoder.h"
#include "decoders/emf/EmfDecoder.h"

namespace bookloom {

void RegisterOwnDecoders(DecoderRegistry& registry) {
  const auto photoshop = std::make_shared<FunctionDecoder>(DecodePsd);
  registry.Register(u"psd", u"Photoshop images", photoshop);
  registry.Register(u"pdd", u"Photoshop images", photoshop);
  registry.Register(u"psp", u"Paintshop Pro images", std::make_shared<FunctionDecoder>(DecodePsp));
  registry.Register(u"emf", u"Windows enhanced meta files", std::make_shared<FunctionDecoder>(DecodeEmf));
  const auto autodesk = std::make_shared<FunctionDecoder>(DecodeAutodesk);
  registry.Register(u"cel", u"Autodesk images", autodesk);
  registry.Register(u"pic", u"Autodesk images", autodesk);
}

void ReleaseOwnDecoderCaches() {
  cairo_debug_reset_static_data();
  FcFini();
}

}  // namespace bookloom
