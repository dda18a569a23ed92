// PNG pictures through libpng: every colour type and depth, interlaced or not; a real alpha channel
// only where the file has transparency (an alpha channel or a transparent colour).
#pragma once

#include "decoders/Graphic.h"

namespace bookloom {

class TPngDecoder final : public TGraphicDecoder {
 public:
  std::unique_ptr<TGraphic> LoadFromMemory(std::string_view bytes,
                                           const std::u16string& fileName) const override;
};

}  // namespace bookloom
