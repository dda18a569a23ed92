// HEIF and AVIF pictures through libheif, loaded at the first such picture: the primary image, or
// every image of the file when all are asked for, turned and cropped as the file says, with alpha only
// where the picture has transparency.
#pragma once

#include "decoders/Graphic.h"

namespace bookloom {

class HeifDecoder final : public GraphicDecoder {
 public:
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;
};

// Whether the bytes start as a HEIF or AVIF file does: an ISO media file whose type names one of
// their brands.
bool LooksLikeHeif(std::string_view bytes);

}  // namespace bookloom
