// Paint Shop Pro pictures (.psp) of file format 3 (Paint Shop Pro 5) and later: the composite image
// where the file keeps one, otherwise its visible raster layers composed in order.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

class TPspDecoder : public TGraphicDecoder {
 public:
  std::unique_ptr<TGraphic> LoadFromMemory(std::string_view bytes,
                                           const std::u16string& fileName) const override {
    return Decode(bytes, fileName);
  }
  // Decodes the bytes of a file; the name is only used in error messages. Pictures of more than
  // `maxPixels` pixels are refused.
  static std::unique_ptr<TGraphic> Decode(std::string_view bytes, const std::u16string& nameForMessages,
                                          int64_t maxPixels = kMaxPicturePixels);
};

}  // namespace bookloom
