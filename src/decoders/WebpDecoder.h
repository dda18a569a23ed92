// WebP pictures through libwebp, loaded at the first WebP picture: a still picture, or an animation's
// frames as they are shown (the first, or every frame when all are asked for), with alpha only where
// the picture has transparency.
#pragma once

#include "decoders/Graphic.h"

namespace bookloom {

class WebpDecoder final : public GraphicDecoder {
 public:
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;
};

}  // namespace bookloom
