// JPEG XL pictures through libjxl, loaded at the first JPEG XL picture: the first frame, or every
// frame of an animation when all are asked for, turned as the file says, with alpha only where the
// picture has transparency.
#pragma once

#include "decoders/Graphic.h"

namespace bookloom {

class JpegXlDecoder final : public GraphicDecoder {
 public:
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;
};

}  // namespace bookloom
