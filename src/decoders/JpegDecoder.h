// JPEG pictures through libjpeg-turbo: colour, greyscale, CMYK and YCCK, baseline and progressive,
// turned upright as their Exif orientation says.
#pragma once

#include "decoders/Graphic.h"

namespace bookloom {

class TJpegDecoder final : public TGraphicDecoder {
 public:
  std::unique_ptr<TGraphic> LoadFromMemory(std::string_view bytes,
                                           const std::u16string& fileName) const override;
};

}  // namespace bookloom
