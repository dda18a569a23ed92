#include "decoders/PictureFormats.h"

#include <map>
#include <memory>
#include <utility>

#include "decoders/AutodeskDecoder.h"
#include "decoders/DecoderTable.h"
#include "decoders/EmfDecoder.h"
#include "decoders/HeifDecoder.h"
#include "decoders/JpegDecoder.h"
#include "decoders/JpegXlDecoder.h"
#include "decoders/PngDecoder.h"
#include "decoders/PsdDecoder.h"
#include "decoders/PspDecoder.h"
#include "decoders/SvgDecoder.h"
#include "decoders/WebpDecoder.h"

namespace bookloom {

namespace {

using enum PictureReader;
using enum MagickFormat;

const PictureFormat kFormats[] = {
    {u"bmp", u"Windows bitmaps", u"", kMagick, kBmp},
    {u"ico", u"Windows icons", u"", kMagick, kIcon},
    {u"wmf", u"Windows metafiles", u"", kMagick, kWmf},
    {u"emf", u"Windows metafiles", u"Windows enhanced meta files", kEmf},
    {u"jfif", u"JPG images", u"JFIF images", kJpeg},
    {u"jpg", u"JPG images", u"JPG images", kJpeg},
    {u"jpe", u"JPG images", u"JPE images", kJpeg},
    {u"jpeg", u"JPG images", u"JPEG images", kJpeg},
    {u"rle", u"Windows bitmaps", u"Run length encoded Windows bitmaps", kMagick, kBmp},
    {u"dib", u"Windows bitmaps", u"Device independant Windows bitmaps", kMagick, kBmp},
    {u"win", u"Truevision images", u"", kMagick, kTga},
    {u"vst", u"Truevision images", u"", kMagick, kTga},
    {u"vda", u"Truevision images", u"", kMagick, kTga},
    {u"tga", u"Truevision images", u"", kMagick, kTga},
    {u"icb", u"Truevision images", u"", kMagick, kTga},
    {u"tiff", u"Tagged image file format images", u"Macintosh TIFF images", kMagick, kTiff},
    {u"tif", u"Tagged image file format images", u"PC TIF images", kMagick, kTiff},
    {u"fax", u"Tagged image file format images", u"GFI fax images", kMagick, kTiff},
    {u"eps", u"Encapsulated Postscript images", u"", kMagick, kEps},
    {u"pcx", u"ZSoft Paintbrush images", u"", kMagick, kPcx},
    {u"pcc", u"ZSoft Paintbrush images", u"", kMagick, kPcx},
    {u"scr", u"ZSoft Paintbrush images", u"Word 5.x screen capture images", kMagick, kPcx},
    {u"rpf", u"Alias/Wavefront images", u"", kMagick, kRla},
    {u"rla", u"Alias/Wavefront images", u"", kMagick, kRla},
    {u"sgi", u"SGI images", u"SGI true color images", kMagick, kSgi},
    {u"rgba", u"SGI images", u"SGI true color images with alpha", kMagick, kSgi},
    {u"rgb", u"SGI images", u"SGI true color images", kMagick, kSgi},
    {u"bw", u"SGI images", u"SGI black/white images", kMagick, kSgi},
    {u"psd", u"Photoshop images", u"", kPsd},
    {u"pdd", u"Photoshop images", u"", kPsd},
    {u"ppm", u"Portable map images", u"Portable pixel map images", kMagick, kPnm},
    {u"pgm", u"Portable map images", u"Portable gray map images", kMagick, kPnm},
    {u"pbm", u"Portable map images", u"Portable bitmap images", kMagick, kPnm},
    {u"cel", u"Autodesk images", u"", kAutodesk},
    {u"pic", u"Autodesk images", u"", kAutodesk},
    {u"pcd", u"Kodak Photo-CD images", u"", kMagick, kPcd},
    {u"cut", u"Dr. Halo images", u"", kMagick, kCut},
    {u"psp", u"Paintshop Pro images", u"", kPsp},
    // Beyond the classic set: the most common picture formats of today's books.
    {u"png", u"Portable network graphic images", u"", kPng},
    {u"gif", u"CompuServe GIF images", u"", kMagick, kGif},
    {u"webp", u"WebP images", u"", kWebp},
    {u"svg", u"SVG drawings", u"", kSvg},
    {u"jxl", u"JPEG XL images", u"", kJpegXl},
    {u"avif", u"AVIF images", u"", kHeif},
    {u"heic", u"HEIF images", u"HEIC images", kHeif},
    {u"heif", u"HEIF images", u"", kHeif},
};

std::shared_ptr<const GraphicDecoder> MakeDecoder(const Runtime& runtime, const PictureFormat& format) {
  switch (format.reader) {
    case kJpeg:
      return std::make_shared<JpegDecoder>();
    case kPng:
      return std::make_shared<FunctionDecoder>(DecodePng);
    case kPsd:
      return std::make_shared<FunctionDecoder>(DecodePsd);
    case kPsp:
      return std::make_shared<FunctionDecoder>(DecodePsp);
    case kEmf:
      return std::make_shared<FunctionDecoder>(
          [&runtime](std::string_view bytes, const std::u16string& name, int64_t maxPixels) {
            return DecodeEmf(runtime, bytes, name, maxPixels);
          });
    case kAutodesk:
      return std::make_shared<FunctionDecoder>(DecodeAutodesk);
    case kMagick:
      return std::make_shared<MagickDecoder>(runtime, format.magickFormat);
    case kWebp:
      return std::make_shared<WebpDecoder>(runtime);
    case kSvg:
      return std::make_shared<FunctionDecoder>(
          [&runtime](std::string_view bytes, const std::u16string& name, int64_t maxPixels) {
            return DecodeSvg(runtime, bytes, name, maxPixels);
          });
    case kJpegXl:
      return std::make_shared<JpegXlDecoder>(runtime);
    case kHeif:
      return std::make_shared<HeifDecoder>(runtime);
  }
  return nullptr;
}

}  // namespace

const char* ReaderName(PictureReader reader) {
  switch (reader) {
    case kJpeg:
      return "libjpeg-turbo";
    case kPng:
      return "libpng";
    case kMagick:
      return "GraphicsMagick";
    case kWebp:
      return "libwebp";
    case kSvg:
      return "librsvg";
    case kJpegXl:
      return "libjxl";
    case kHeif:
      return "libheif";
    case kPsd:
    case kPsp:
    case kEmf:
    case kAutodesk:
      break;
  }
  return "built-in";
}

std::span<const PictureFormat> PictureFormats() { return kFormats; }

const DecoderTable& PictureDecoders(const Runtime& runtime) {
  return runtime.Loaded<DecoderTable>("picture decoders", [&runtime] {
    std::map<std::pair<PictureReader, MagickFormat>, std::shared_ptr<const GraphicDecoder>> decoders;
    std::vector<DecoderTable::Entry> entries;
    for (const PictureFormat& format : kFormats) {
      const auto key = std::pair(format.reader, format.reader == kMagick ? format.magickFormat : kBmp);
      auto& decoder = decoders[key];
      if (!decoder) decoder = MakeDecoder(runtime, format);
      entries.push_back({format.ext, *format.description ? format.description : format.group, decoder});
    }
    return std::make_shared<const DecoderTable>(std::move(entries));
  });
}

}  // namespace bookloom
