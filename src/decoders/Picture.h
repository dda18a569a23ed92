// The picture holder: loads a file with the decoder its extension names and keeps the graphic.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"

namespace bookloom {

class Bitmap;

class Picture {
 public:
  // Loads with the decoder registered for the file's extension; DecodeError when none is.
  void LoadFromFile(const std::u16string& fileName);
  // Loads with the given decoder, whatever the extension.
  void LoadFromFile(const std::u16string& fileName, const GraphicDecoder& decoder);

  // Decodes a picture held in memory (inside a book or an archive) with the given decoder; the name
  // only names it in messages.
  void LoadFromMemory(std::string_view bytes, const std::u16string& name, const GraphicDecoder& decoder);
  // Holds a picture made in memory, such as a rendered page.
  void Assign(std::unique_ptr<Graphic> graphic);

  bool Empty() const { return !graphic_; }
  const Graphic* Decoded() const { return graphic_.get(); }
  void Clear() {
    graphic_.reset();
    transparent_ = false;
  }

  // Marks the picture transparent: its real transparency (alpha) is kept when it is drawn;
  // no colour of it is ever dropped.
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  bool Transparent() const { return transparent_; }

  // The picture as an opaque 24-bit bitmap (transparency composited on white); the bitmap
  // carries the holder's transparent mark. An empty holder gives an empty bitmap.
  void AssignTo(Bitmap& target) const;

 private:
  std::unique_ptr<Graphic> graphic_;
  bool transparent_ = false;
};

}  // namespace bookloom
