// HEIF and AVIF pictures through libheif, loaded at the first such picture: the primary image, or
// every image of the file when all are asked for, turned and cropped as the file says, with alpha only
// where the picture has transparency.
#pragma once

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

class HeifDecoder final : public GraphicDecoder {
 public:
  explicit HeifDecoder(const Runtime& runtime) : runtime_(runtime) {}
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;

 private:
  const Runtime& runtime_;  // loads the library at the first picture
};

// Whether the bytes start as a HEIF or AVIF file does: an ISO media file whose type names one of
// their brands.
bool LooksLikeHeif(std::string_view bytes);

}  // namespace bookloom
