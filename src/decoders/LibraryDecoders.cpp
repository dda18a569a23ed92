#include "decoders/LibraryDecoders.h"

#include "decoders/JpegDecoder.h"
#include "decoders/MagickDecoder.h"
#include "decoders/PngDecoder.h"

namespace bookloom {

void RegisterLibraryDecoders(TDecoderRegistry& registry) {
  const auto jpeg = std::make_shared<const TFunctionDecoder>(DecodeJpeg, CheckJpeg);
  std::shared_ptr<const TGraphicDecoder> magick[kMagickFormatCount];
  for (int i = 0; i < kMagickFormatCount; ++i)
    magick[i] = std::make_shared<const TMagickDecoder>(static_cast<TMagickFormat>(i));
  const auto by = [&](TMagickFormat f) { return magick[static_cast<int>(f)]; };

  const struct {
    const char16_t* ext;
    const char16_t* description;
    std::shared_ptr<const TGraphicDecoder> decoder;
  } table[] = {
      {u"bmp", u"Windows bitmaps", by(TMagickFormat::kBmp)},
      {u"ico", u"Windows icons", by(TMagickFormat::kIcon)},
      {u"wmf", u"Windows metafiles", by(TMagickFormat::kWmf)},
      {u"jfif", u"JFIF images", jpeg},
      {u"jpg", u"JPG images", jpeg},
      {u"jpe", u"JPE images", jpeg},
      {u"jpeg", u"JPEG images", jpeg},
      {u"rle", u"Run length encoded Windows bitmaps", by(TMagickFormat::kBmp)},
      {u"dib", u"Device independent Windows bitmaps", by(TMagickFormat::kBmp)},
      {u"win", u"Truevision images", by(TMagickFormat::kTga)},
      {u"vst", u"Truevision images", by(TMagickFormat::kTga)},
      {u"vda", u"Truevision images", by(TMagickFormat::kTga)},
      {u"tga", u"Truevision images", by(TMagickFormat::kTga)},
      {u"icb", u"Truevision images", by(TMagickFormat::kTga)},
      {u"tiff", u"Macintosh TIFF images", by(TMagickFormat::kTiff)},
      {u"tif", u"PC TIF images", by(TMagickFormat::kTiff)},
      {u"fax", u"GFI fax images", by(TMagickFormat::kTiff)},
      {u"eps", u"Encapsulated Postscript images", by(TMagickFormat::kEps)},
      {u"pcx", u"ZSoft Paintbrush images", by(TMagickFormat::kPcx)},
      {u"pcc", u"ZSoft Paintbrush images", by(TMagickFormat::kPcx)},
      {u"scr", u"Word 5.x screen capture images", by(TMagickFormat::kPcx)},
      {u"rpf", u"Alias/Wavefront images", by(TMagickFormat::kRla)},
      {u"rla", u"Alias/Wavefront images", by(TMagickFormat::kRla)},
      {u"sgi", u"SGI true color images", by(TMagickFormat::kSgi)},
      {u"rgba", u"SGI true color images with alpha", by(TMagickFormat::kSgi)},
      {u"rgb", u"SGI true color images", by(TMagickFormat::kSgi)},
      {u"bw", u"SGI black/white images", by(TMagickFormat::kSgi)},
      {u"ppm", u"Portable pixel map images", by(TMagickFormat::kPnm)},
      {u"pgm", u"Portable gray map images", by(TMagickFormat::kPnm)},
      {u"pbm", u"Portable bitmap images", by(TMagickFormat::kPnm)},
      {u"pcd", u"Kodak Photo-CD images", by(TMagickFormat::kPcd)},
      {u"cut", u"Dr. Halo images", by(TMagickFormat::kCut)},
      {u"png", u"Portable network graphic images", std::make_shared<const TFunctionDecoder>(DecodePng)},
      {u"gif", u"CompuServe GIF images", by(TMagickFormat::kGif)},
  };
  for (const auto& entry : table) registry.Register(entry.ext, entry.description, entry.decoder);
}

}  // namespace bookloom
