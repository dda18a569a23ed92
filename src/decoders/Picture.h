// The picture holder: loads a file with the decoder its extension names and keeps what it decoded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "decoders/Graphic.h"

namespace bookloom {

class Bitmap;
class Runtime;

class Picture {
 public:
  // Loads with the run's decoder of the file's extension; DecodeError when there is none.
  void LoadFromFile(const Runtime& runtime, const std::u16string& fileName,
                    const DecodeOptions& options = {});
  // Loads with the given decoder, whatever the extension.
  void LoadFromFile(const std::u16string& fileName, const GraphicDecoder& decoder,
                    const DecodeOptions& options = {});

  // Holds a picture decoded or made in memory (inside an e-book or an archive, a rendered page),
  // made grey as every page is.
  void Assign(std::unique_ptr<Graphic> graphic);

  bool Empty() const { return decoded_.frames.empty(); }
  // The first frame, nullptr when empty.
  const Graphic* Decoded() const { return Empty() ? nullptr : decoded_.frames.front().get(); }
  // Every frame loaded: the first, or all that the options asked for.
  const std::vector<std::unique_ptr<Graphic>>& Frames() const { return decoded_.frames; }
  // How many frames the file holds, loaded or not.
  int FrameCount() const { return decoded_.frameCount; }
  // Whether the file could be read only in part.
  bool Incomplete() const { return decoded_.incomplete; }
  void Clear() {
    decoded_ = {};
    transparent_ = false;
  }

  // Marks the picture transparent: its real transparency (alpha) is kept when it is drawn;
  // no colour of it is ever dropped.
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  bool Transparent() const { return transparent_; }

  // The first frame as an opaque 24-bit bitmap (transparency composited on white); the bitmap
  // carries the holder's transparent mark. An empty holder gives an empty bitmap.
  void AssignTo(Bitmap& target) const;

 private:
  DecodedFrames decoded_;
  bool transparent_ = false;
};

}  // namespace bookloom
