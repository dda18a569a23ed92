// JPEG XL pictures through libjxl, loaded at the first JPEG XL picture: the first frame, or every
// frame of an animation when all are asked for, turned as the file says, with alpha only where the
// picture has transparency.
#pragma once

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

class JpegXlDecoder final : public GraphicDecoder {
 public:
  explicit JpegXlDecoder(const Runtime& runtime) : runtime_(runtime) {}
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;

 private:
  const Runtime& runtime_;  // loads the library at the first picture
};

}  // namespace bookloom
