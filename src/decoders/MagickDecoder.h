// The picture formats read through GraphicsMagick, in a module loaded at the first such picture: each
// family is read with its reader named
// explicitly (several have no signature), its size checked before the pixels are decoded, and its
// alpha kept only where the file really has transparency.
#pragma once

#include <cstdint>

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

enum class MagickFormat : uint8_t {
  kBmp,   // Windows bitmaps, with or without the file header (packed DIB)
  kIcon,  // Windows icons: the largest image of the file
  kWmf,   // Windows metafiles
  kTga,   // Truevision Targa
  kTiff,  // TIFF, fax files (TIFF class F) too: each page a frame
  kEps,   // Encapsulated PostScript, plain or with the DOS binary header (through Ghostscript)
  kPcx,   // ZSoft Paintbrush
  kRla,   // Alias/Wavefront RLA
  kSgi,   // SGI images
  kPnm,   // portable bitmaps, grey maps and pixel maps
  kPcd,   // Kodak Photo CD: the 768 x 512 base image
  kCut,   // Dr. Halo: read by path, so that the palette file beside it is found
  kGif,   // GIF: each frame as it is shown
};
inline constexpr int kMagickFormatCount = static_cast<int>(MagickFormat::kGif) + 1;

class MagickDecoder final : public GraphicDecoder {
 public:
  MagickDecoder(const Runtime& runtime, MagickFormat format) : runtime_(runtime), format_(format) {}

  DecodedFrames DecodeFile(const std::u16string& fileName, const DecodeOptions& options = {}) const override;
  DecodedFrames Decode(std::string_view bytes, const std::u16string& fileName,
                       const DecodeOptions& options = {}) const override;

 private:
  const Runtime& runtime_;  // loads the reader module at the first picture
  MagickFormat format_;
};

// Loads the GraphicsMagick reader module now rather than at the first picture it reads; later calls
// do nothing. GraphicsMagick's own resource limits are PictureLimits() as they stand when the module
// is loaded, so that oversized pictures are refused before allocation.
void StartGraphicsMagick(const Runtime& runtime);

}  // namespace bookloom
