#include "decoders/Picture.h"

#include "decoders/DecoderRegistry.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

namespace {

const TGraphicDecoder& DecoderFor(const std::u16string& fileName) {
  const TGraphicDecoder* decoder = DecoderRegistry().Find(fileName);
  if (!decoder) Raise<EDecodeError>("Cannot read picture \"%s\": unknown picture file extension", {fileName});
  return *decoder;
}

}  // namespace

void TPicture::LoadFromFile(const std::u16string& fileName) { LoadFromFile(fileName, DecoderFor(fileName)); }

void TPicture::LoadFromFile(const std::u16string& fileName, const TGraphicDecoder& decoder) {
  graphic_ = decoder.LoadFromFile(fileName);
  transparent_ = false;
}

void TPicture::LoadToFit(const std::u16string& fileName, PixelSize area) {
  LoadToFit(fileName, DecoderFor(fileName), area);
}

void TPicture::LoadToFit(const std::u16string& fileName, const TGraphicDecoder& decoder, PixelSize area) {
  graphic_ = decoder.LoadToFit(fileName, area);
  transparent_ = false;
}

void TPicture::AssignTo(Bitmap& target) const {
  if (!graphic_) {
    target = Bitmap();
    return;
  }
  graphic_->AssignTo(target);
  target.SetTransparent(transparent_);
}

}  // namespace bookloom
