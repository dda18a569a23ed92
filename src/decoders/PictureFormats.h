// The picture formats Bookloom reads, in one table: each extension with the group and description
// the open dialog shows and the reader that decodes it. The table of decoders and the picture file
// item's file types are both made from it.
#pragma once

#include <cstdint>
#include <span>

#include "decoders/DecoderTable.h"
#include "decoders/MagickDecoder.h"
#include "platform/Runtime.h"

namespace bookloom {

// Who decodes a format: Bookloom itself, libjpeg-turbo, libpng, libwebp, librsvg, libjxl, libheif, or
// a reader of GraphicsMagick.
enum class PictureReader : uint8_t {
  kJpeg,
  kPng,
  kPsd,
  kPsp,
  kEmf,
  kAutodesk,
  kMagick,
  kWebp,
  kSvg,
  kJpegXl,
  kHeif
};

struct PictureFormat {
  const char16_t* ext;          // without the dot
  const char16_t* group;        // the open dialog's entry that lists it
  const char16_t* description;  // the extension's own description; empty: the group's
  PictureReader reader;
  MagickFormat magickFormat = MagickFormat::kBmp;  // the GraphicsMagick reader, for kMagick
};

// What reads a format's files, as the list of formats names it: "built-in", "libjpeg-turbo",
// "libpng", "libwebp", "librsvg", "libjxl", "libheif" or "GraphicsMagick".
const char* ReaderName(PictureReader reader);

// Every format, in the order the open dialog lists them within their groups.
std::span<const PictureFormat> PictureFormats();

// The decoder of every format: one decoder object per reader, shared by its extensions. Made at the
// first call of the run and kept in its Runtime; a decoder loads the library it needs into the same
// Runtime at its first picture.
const DecoderTable& PictureDecoders(const Runtime& runtime);

}  // namespace bookloom
