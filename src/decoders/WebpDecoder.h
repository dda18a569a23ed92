// WebP pictures through libwebp, loaded at the first WebP picture: a still picture, or an animation's
// frames as they are shown (the first, or every frame when all are asked for), with alpha only where
// the picture has transparency.
#pragma once

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

class WebpDecoder final : public GraphicDecoder {
 public:
  explicit WebpDecoder(const Runtime& runtime) : runtime_(runtime) {}
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;

 private:
  const Runtime& runtime_;  // loads the library at the first picture
};

}  // namespace bookloom
