// Registers the picture formats that Bookloom decodes itself: Photoshop, Paint Shop Pro,
// Autodesk Animator and enhanced metafiles.
#pragma once

namespace bookloom {

class TDecoderRegistry;

void RegisterOwnDecoders(TDecoderRegistry& registry);

}  // namespace bookloom
