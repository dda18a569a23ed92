#include "decoders/LibraryDecoders.h"

#include "decoders/JpegDecoder.h"
#include "decoders/MagickDecoder.h"
#include "decoders/PngDecoder.h"

namespace bookloom {

void RegisterLibraryDecoders(DecoderRegistry& registry) {
  const auto jpeg = std::make_shared<const FunctionDecoder>(DecodeJpeg, CheckJpeg);
  std::shared_ptr<const GraphicDecoder> magick[kMagickFormatCount];
  for (int i = 0; i < kMagickFormatCount; ++i)
    magick[i] = std::make_shared<const MagickDecoder>(static_cast<MagickFormat>(i));
  const auto by = [&](MagickFormat f) { return magick[static_cast<int>(f)]; };

  const struct {
    const char16_t* ext;
    const char16_t* description;
    std::shared_ptr<const GraphicDecoder> decoder;
  } table[] = {
      {u"bmp", u"Windows bitmaps", by(MagickFormat::kBmp)},
      {u"ico", u"Windows icons", by(MagickFormat::kIcon)},
      {u"wmf", u"Windows metafiles", by(MagickFormat::kWmf)},
      {u"jfif", u"JFIF images", jpeg},
      {u"jpg", u"JPG images", jpeg},
      {u"jpe", u"JPE images", jpeg},
      {u"jpeg", u"JPEG images", jpeg},
      {u"rle", u"Run length encoded Windows bitmaps", by(MagickFormat::kBmp)},
      {u"dib", u"Device independent Windows bitmaps", by(MagickFormat::kBmp)},
      {u"win", u"Truevision images", by(MagickFormat::kTga)},
      {u"vst", u"Truevision images", by(MagickFormat::kTga)},
      {u"vda", u"Truevision images", by(MagickFormat::kTga)},
      {u"tga", u"Truevision images", by(MagickFormat::kTga)},
      {u"icb", u"Truevision images", by(MagickFormat::kTga)},
      {u"tiff", u"Macintosh TIFF images", by(MagickFormat::kTiff)},
      {u"tif", u"PC TIF images", by(MagickFormat::kTiff)},
      {u"fax", u"GFI fax images", by(MagickFormat::kTiff)},
      {u"eps", u"Encapsulated Postscript images", by(MagickFormat::kEps)},
      {u"pcx", u"ZSoft Paintbrush images", by(MagickFormat::kPcx)},
      {u"pcc", u"ZSoft Paintbrush images", by(MagickFormat::kPcx)},
      {u"scr", u"Word 5.x screen capture images", by(MagickFormat::kPcx)},
      {u"rpf", u"Alias/Wavefront images", by(MagickFormat::kRla)},
      {u"rla", u"Alias/Wavefront images", by(MagickFormat::kRla)},
      {u"sgi", u"SGI true color images", by(MagickFormat::kSgi)},
      {u"rgba", u"SGI true color images with alpha", by(MagickFormat::kSgi)},
      {u"rgb", u"SGI true color images", by(MagickFormat::kSgi)},
      {u"bw", u"SGI black/white images", by(MagickFormat::kSgi)},
      {u"ppm", u"Portable pixel map images", by(MagickFormat::kPnm)},
      {u"pgm", u"Portable gray map images", by(MagickFormat::kPnm)},
      {u"pbm", u"Portable bitmap images", by(MagickFormat::kPnm)},
      {u"pcd", u"Kodak Photo-CD images", by(MagickFormat::kPcd)},
      {u"cut", u"Dr. Halo images", by(MagickFormat::kCut)},
      {u"png", u"Portable network graphic images", std::make_shared<const FunctionDecoder>(DecodePng)},
      {u"gif", u"CompuServe GIF images", by(MagickFormat::kGif)},
  };
  for (const auto& entry : table) registry.Register(entry.ext, entry.description, entry.decoder);
}

}  // namespace bookloom
