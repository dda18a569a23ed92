// Enhanced metafiles (.emf): the picture's records are played on a cairo surface the size of
// its frame at 96 dots per inch, on white.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

class TEmfDecoder : public TGraphicDecoder {
 public:
  std::unique_ptr<TGraphic> LoadFromMemory(std::string_view bytes,
                                           const std::u16string& fileName) const override {
    return Decode(bytes, fileName);
  }
  // Plays the bytes of a file; the name is only used in error messages. A frame larger than
  // `maxPixels` (or the side limit) is drawn scaled down to fit.
  static std::unique_ptr<TGraphic> Decode(std::string_view bytes, const std::u16string& nameForMessages,
                                          int64_t maxPixels = kMaxPicturePixels);
};

}  // namespace bookloom
