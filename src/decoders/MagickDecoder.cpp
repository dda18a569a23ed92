#include "decoders/MagickDecoder.h"

#include <Magick++.h>

#include <algorithm>
#include <list>
#include <mutex>
#include <tuple>

#include "platform/FileSys.h"
#include "platform/LittleEndian.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

using Frames = std::list<Magick::Image>;

// GraphicsMagick's name of the reader for a family; EPS files with the DOS binary header (a
// PostScript section and a TIFF or WMF preview) have a reader of their own.
std::string CoderOf(TMagickFormat format, std::string_view bytes) {
  switch (format) {
    case TMagickFormat::kBmp:
      return "BMP";
    case TMagickFormat::kIcon:
      return "ICO";
    case TMagickFormat::kWmf:
      return "WMF";
    case TMagickFormat::kTga:
      return "TGA";
    case TMagickFormat::kTiff:
      return "TIFF";
    case TMagickFormat::kEps:
      return bytes.starts_with("\xC5\xD0\xD3\xC6") ? "EPT" : "EPS";
    case TMagickFormat::kPcx:
      return "PCX";
    case TMagickFormat::kRla:
      return "RLA";
    case TMagickFormat::kSgi:
      return "SGI";
    case TMagickFormat::kPnm:
      return "PNM";
    case TMagickFormat::kPcd:
      return "PCD";
    case TMagickFormat::kCut:
      return "CUT";
    case TMagickFormat::kGif:
      return "GIF";
  }
  return "";
}

// A packed DIB is a bitmap without its 14-byte file header, as the clipboard and many .dib files
// hold it: it starts with the size of one of the known info headers.
bool IsPackedDib(std::string_view bytes) {
  if (bytes.size() < 16 || bytes.starts_with("BM")) return false;
  const uint32_t headerSize = GetU32(bytes, 0);
  return headerSize == 12 || headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
         headerSize == 108 || headerSize == 124;
}

// The packed DIB with the file header put in front; the header's pixel offset counts the info
// header, the colour masks that follow a 40-byte header and the colour table.
std::string WithBitmapFileHeader(std::string_view dib) {
  const uint32_t headerSize = GetU32(dib, 0);
  const bool core = headerSize == 12;  // OS/2 1.x: 16-bit sizes, three-byte colour table entries
  const unsigned bitCount = GetU16(dib, core ? 10 : 14);
  uint64_t colors = 0;
  uint64_t masks = 0;
  if (!core && dib.size() >= 36) {
    colors = GetU32(dib, 32);
    const uint32_t compression = GetU32(dib, 16);
    if (headerSize == 40 && compression == 3) masks = 12;  // red, green and blue masks
    if (headerSize == 40 && compression == 6) masks = 16;  // and an alpha mask
  }
  if (colors == 0 && bitCount <= 8) colors = uint64_t{1} << bitCount;
  const auto clamp32 = [](uint64_t v) { return static_cast<uint32_t>(std::min<uint64_t>(v, UINT32_MAX)); };
  std::string bmp;
  bmp.reserve(14 + dib.size());
  bmp += "BM";
  AppendU32(bmp, clamp32(14 + uint64_t{dib.size()}));
  AppendU32(bmp, 0);
  AppendU32(bmp, clamp32(14 + uint64_t{headerSize} + masks + colors * (core ? 3 : 4)));
  bmp.append(dib);
  return bmp;
}

// Only 16- and 32-bit bitmaps can carry alpha. Some writers put an alpha mask into the header of
// 24-bit files too, and GraphicsMagick then reports an alpha channel it never filled.
bool BitmapMayHaveAlpha(std::string_view bmp) {
  if (bmp.size() < 30) return false;
  const unsigned bitCount = GetU16(bmp, GetU32(bmp, 14) == 12 ? 24 : 28);
  return bitCount == 16 || bitCount == 32;
}

// An ExceptionInfo that is always released.
class MagickExceptionInfo {
 public:
  MagickExceptionInfo() { MagickLib::GetExceptionInfo(&info_); }
  ~MagickExceptionInfo() { MagickLib::DestroyExceptionInfo(&info_); }
  MagickExceptionInfo(const MagickExceptionInfo&) = delete;
  MagickExceptionInfo& operator=(const MagickExceptionInfo&) = delete;

  MagickLib::ExceptionInfo* Get() { return &info_; }
  // Warnings leave a complete picture; errors do not.
  bool Failed() const { return info_.severity >= MagickLib::ErrorException; }
  std::string Why() const {
    std::string why = info_.reason && *info_.reason ? info_.reason : "the reader returned no picture";
    if (info_.description && *info_.description) why += std::string(" (") + info_.description + ")";
    return why;
  }

 private:
  MagickLib::ExceptionInfo info_;
};

// Where the bytes come from: memory, or the file itself when a reader needs files beside it.
struct Source {
  std::string_view bytes;
  std::string path;  // UTF-8; empty when reading from memory
};

// The reading options of a family: the reader named explicitly, and which frames to decode.
Magick::Image ReadingOptions(TMagickFormat format, const std::string& coder, const Source& source) {
  Magick::Image options;
  options.magick(coder);
  options.fileName(coder + ":" + source.path);
  if (format == TMagickFormat::kIcon) return options;       // every image, to choose the largest
  options.subImage(format == TMagickFormat::kPcd ? 3 : 0);  // Photo CD: Base, 768 x 512
  options.subRange(1);
  return options;
}

// Reads, or only pings, the frames; a failure raises naming the file.
Frames ReadFrames(Magick::Image& options, const Source& source, bool ping, const std::string& coder,
                  const std::u16string& fileName) {
  MagickExceptionInfo exception;
  const MagickLib::ImageInfo* info = options.imageInfo();
  MagickLib::Image* list = nullptr;
  if (source.path.empty())
    list = ping ? MagickLib::PingBlob(info, source.bytes.data(), source.bytes.size(), exception.Get())
                : MagickLib::BlobToImage(info, source.bytes.data(), source.bytes.size(), exception.Get());
  else
    list = ping ? MagickLib::PingImage(info, exception.Get()) : MagickLib::ReadImage(info, exception.Get());
  Frames frames;
  Magick::insertImages(&frames, list);
  if (exception.Failed() || frames.empty())
    RaiseDecodeError(fileName, "not a readable " + coder + " file: " + exception.Why());
  return frames;
}

// The frame that becomes the picture: the first, or of an icon the largest, true colour and with
// transparency before palette images of the same size.
Magick::Image& ChooseFrame(Frames& frames, TMagickFormat format) {
  if (format != TMagickFormat::kIcon) return frames.front();
  const auto rank = [](const Magick::Image& f) {
    return std::make_tuple(uint64_t{f.columns()} * f.rows(), f.classType() == Magick::DirectClass, f.matte());
  };
  return *std::max_element(frames.begin(), frames.end(),
                           [&](const Magick::Image& a, const Magick::Image& b) { return rank(a) < rank(b); });
}

std::unique_ptr<TGraphic> ToGraphic(Magick::Image& frame, const std::u16string& fileName) {
  // A TIFF may store its rows bottom to top or turned; of the families read here only TIFF
  // readers report an orientation, the others deliver their rows upright.
  frame.autoOrient();
  CheckPictureSize(frame.columns(), frame.rows(), fileName);
  frame.colorSpace(Magick::RGBColorspace);  // CMYK and other spaces become RGB
  const bool alpha = frame.matte();
  auto graphic =
      std::make_unique<TGraphic>(static_cast<int>(frame.columns()), static_cast<int>(frame.rows()), alpha);
  frame.write(0, 0, frame.columns(), frame.rows(), alpha ? "RGBA" : "RGB", Magick::CharPixel,
              graphic->Row(0));
  graphic->DropUniformAlpha();
  return graphic;
}

std::unique_ptr<TGraphic> Decode(TMagickFormat format, const Source& source, const std::u16string& fileName) {
  if (source.bytes.empty()) RaiseDecodeError(fileName, "the file is empty");
  StartGraphicsMagick();
  const PictureSizeLimits& limits = PictureLimits();
  MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, limits.maxSide);
  MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, limits.maxSide);
  MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, limits.maxPixels);

  const std::string coder = CoderOf(format, source.bytes);
  try {
    Magick::Image options = ReadingOptions(format, coder, source);
    // The size first, from the header alone; readers that cannot tell it without decoding say 0.
    Frames probe = ReadFrames(options, source, true, coder, fileName);
    const Magick::Image& first = probe.front();
    if (first.columns() != 0 && first.rows() != 0) CheckPictureSize(first.columns(), first.rows(), fileName);
    probe.clear();

    Frames frames = ReadFrames(options, source, false, coder, fileName);
    Magick::Image& frame = ChooseFrame(frames, format);
    if (format == TMagickFormat::kBmp && !BitmapMayHaveAlpha(source.bytes)) frame.matte(false);
    return ToGraphic(frame, fileName);
  } catch (const Magick::Exception& e) {
    RaiseDecodeError(fileName, "not a readable " + coder + " file: " + e.what());
  }
}

}  // namespace

void StartGraphicsMagick() {
  static std::once_flag started;
  std::call_once(started, [] { Magick::InitializeMagick(nullptr); });
}

std::unique_ptr<TGraphic> TMagickDecoder::LoadFromFile(const std::u16string& fileName) const {
  if (format_ != TMagickFormat::kCut) return TGraphicDecoder::LoadFromFile(fileName);
  // Read through the path: the reader looks for the palette file of the same name beside it.
  const std::string bytes = ReadFileBytes(fileName);
  return Decode(format_, {bytes, Utf16ToUtf8(fileName)}, fileName);
}

std::unique_ptr<TGraphic> TMagickDecoder::LoadFromMemory(std::string_view bytes,
                                                         const std::u16string& fileName) const {
  if (format_ == TMagickFormat::kBmp && IsPackedDib(bytes)) {
    const std::string bmp = WithBitmapFileHeader(bytes);
    return Decode(format_, {bmp, {}}, fileName);
  }
  return Decode(format_, {bytes, {}}, fileName);
}

}  // namespace bookloom
