#include "decoders/Picture.h"

#include "decoders/DecoderRegistry.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

void Picture::LoadFromFile(const std::u16string& fileName) {
  const GraphicDecoder* decoder = DecoderRegistry::Instance().Find(fileName);
  if (!decoder) RaiseDecodeError(fileName, "unknown picture file extension");
  LoadFromFile(fileName, *decoder);
}

void Picture::LoadFromFile(const std::u16string& fileName, const GraphicDecoder& decoder) {
  graphic_ = decoder.LoadFromFile(fileName);
  transparent_ = false;
}

void Picture::LoadFromMemory(std::string_view bytes, const std::u16string& name,
                             const GraphicDecoder& decoder) {
  Assign(decoder.LoadFromMemory(bytes, name));
}

void Picture::Assign(std::unique_ptr<Graphic> graphic) {
  graphic_ = std::move(graphic);
  transparent_ = false;
}

void Picture::AssignTo(Bitmap& target) const {
  if (!graphic_) {
    target = Bitmap();
    return;
  }
  graphic_->AssignTo(target);
  target.SetTransparent(transparent_);
}

}  // namespace bookloom
