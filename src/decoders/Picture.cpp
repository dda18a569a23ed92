#include "decoders/Picture.h"

#include "decoders/PictureFormats.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

void Picture::LoadFromFile(const Runtime& runtime, const std::u16string& fileName,
                           const DecodeOptions& options) {
  const GraphicDecoder* decoder = PictureDecoders(runtime).Find(fileName);
  if (!decoder) RaiseDecodeError(fileName, "unknown picture file extension");
  LoadFromFile(fileName, *decoder, options);
}

void Picture::LoadFromFile(const std::u16string& fileName, const GraphicDecoder& decoder,
                           const DecodeOptions& options) {
  decoded_ = decoder.DecodeFile(fileName, options);
  transparent_ = false;
}

void Picture::Assign(std::unique_ptr<Graphic> graphic) {
  graphic->MakeGray();
  decoded_ = {};
  decoded_.frames.push_back(std::move(graphic));
  transparent_ = false;
}

void Picture::AssignTo(Bitmap& target) const {
  if (Empty()) {
    target = Bitmap();
    return;
  }
  Decoded()->AssignTo(target);
  target.SetTransparent(transparent_);
}

}  // namespace bookloom
