// Photoshop pictures (.psd, .pdd, and the large-document variant): the merged image that the file
// keeps beside its layers, in every colour mode a book can use, with its transparency.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

class TPsdDecoder : public TGraphicDecoder {
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
