#include "decoders/Picture.h"

#include "decoders/DecoderRegistry.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

void TPicture::LoadFromFile(const std::u16string& fileName) {
  const TGraphicDecoder* decoder = DecoderRegistry().Find(fileName);
  if (!decoder) Raise<EDecodeError>("Cannot read picture \"%s\": unknown picture file extension", {fileName});
  LoadFromFile(fileName, *decoder);
}

void TPicture::LoadFromFile(const std::u16string& fileName, const TGraphicDecoder& decoder) {
  graphic_ = decoder.LoadFromFile(fileName);
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
