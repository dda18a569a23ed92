#include "decoders/MagickDecoder.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <new>

#include "decoders/MagickPlugin.h"
#include "platform/FileSys.h"
#include "platform/LittleEndian.h"
#include "platform/Modules.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// GraphicsMagick's name of the reader for a family; EPS files with the DOS binary header (a
// PostScript section and a TIFF or WMF preview) have a reader of their own.
std::string CoderOf(MagickFormat format, std::string_view bytes) {
  switch (format) {
    case MagickFormat::kBmp:
      return "BMP";
    case MagickFormat::kIcon:
      return "ICO";
    case MagickFormat::kWmf:
      return "WMF";
    case MagickFormat::kTga:
      return "TGA";
    case MagickFormat::kTiff:
      return "TIFF";
    case MagickFormat::kEps:
      return bytes.starts_with("\xC5\xD0\xD3\xC6") ? "EPT" : "EPS";
    case MagickFormat::kPcx:
      return "PCX";
    case MagickFormat::kRla:
      return "RLA";
    case MagickFormat::kSgi:
      return "SGI";
    case MagickFormat::kPnm:
      return "PNM";
    case MagickFormat::kPcd:
      return "PCD";
    case MagickFormat::kCut:
      return "CUT";
    case MagickFormat::kGif:
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

// The reader module, loaded once.
class ReaderModule {
 public:
  ReaderModule() {
    problem_ = OpenProgramModule(kMagickPluginFile, [this](void* module) { return Start(module); }).problem;
  }

  MagickReadFunction Read() const { return read_; }
  const std::string& Problem() const { return problem_; }

  // GraphicsMagick reads one picture at a time: the build's second thread and the window's preview
  // may both ask for one, so every read holds this lock, which every thread shares.
  std::mutex& SharedReadLock() const { return sharedReadLock_; }

 private:
  // Looks up the module's entry points and starts it: "" when it is ready, else what is wrong with it.
  std::string Start(void* module) {
    const auto start = reinterpret_cast<MagickStartFunction>(FindSymbol(module, kMagickPluginStartEntry));
    read_ = reinterpret_cast<MagickReadFunction>(FindSymbol(module, kMagickPluginEntry));
    // GraphicsMagick's resource limits are the program's picture limits as they stand now.
    const MagickStartRequest limits{.maxSide = PictureLimits().maxSide,
                                    .maxPixels = PictureLimits().maxPixels};
    if (start && read_ && start(&limits)) return {};
    read_ = nullptr;
    return start ? "is of another version" : "has no entry point";
  }

  MagickReadFunction read_ = nullptr;
  std::string problem_;
  mutable std::mutex sharedReadLock_;
};

const ReaderModule& Module(const Runtime& runtime) {
  return runtime.Loaded<ReaderModule>(kMagickPluginFile,
                                      [] { return std::make_shared<const ReaderModule>(); });
}

// What the module's callbacks work on: the frames they make, or why they refused the picture.
struct ReadContext {
  const std::u16string& fileName;
  bool gray;
  DecodedFrames decoded;
  std::exception_ptr refusal;
};

// A frame the module has written: an alpha channel that says nothing dropped, and grey when asked,
// so that a file of many pages holds each in one byte a pixel.
void Finish(Graphic& frame, bool gray) {
  frame.DropUniformAlpha();
  if (gray) frame.MakeGray();
}

bool AcceptSize(void* context, uint64_t width, uint64_t height) {
  auto& read = *static_cast<ReadContext*>(context);
  try {
    CheckPictureSize(static_cast<int64_t>(std::min<uint64_t>(width, INT64_MAX)),
                     static_cast<int64_t>(std::min<uint64_t>(height, INT64_MAX)), read.fileName);
    return true;
  } catch (...) {
    read.refusal = std::current_exception();
    return false;
  }
}

uint8_t* PixelsFor(void* context, int width, int height, bool alpha) {
  auto& read = *static_cast<ReadContext*>(context);
  try {
    CheckPictureSize(width, height, read.fileName);
    std::vector<std::unique_ptr<Graphic>>& frames = read.decoded.frames;
    if (!frames.empty()) Finish(*frames.back(), read.gray);
    frames.push_back(std::make_unique<Graphic>(width, height, RgbLayout(alpha)));
    return frames.back()->Row(0);
  } catch (...) {
    read.refusal = std::current_exception();
    return nullptr;
  }
}

// Where the bytes come from: memory, or the file itself when a reader needs files beside it.
struct Source {
  std::string_view bytes;
  std::string path;  // UTF-8; empty when reading from memory
};

DecodedFrames ReadPicture(const ReaderModule& module, MagickFormat format, const Source& source,
                          const std::u16string& fileName, const DecodeOptions& options) {
  if (source.bytes.empty()) RaiseDecodeError(fileName, "the file is empty");
  const std::string coder = CoderOf(format, source.bytes);
  const MagickReadFunction read = module.Read();
  if (!read) RaiseDecodeError(fileName, "the GraphicsMagick reader cannot be loaded: " + module.Problem());

  ReadContext context{fileName, options.gray, {}, nullptr};
  MagickReadRequest request;
  request.coder = coder.c_str();
  request.bytes = source.bytes.data();
  request.size = source.bytes.size();
  request.path = source.path.empty() ? nullptr : source.path.c_str();
  request.largestFrame = format == MagickFormat::kIcon;     // of an icon, the largest image
  request.subImage = format == MagickFormat::kPcd ? 3 : 0;  // of a Photo CD, Base: 768 x 512
  request.pages = format == MagickFormat::kTiff || format == MagickFormat::kGif;
  request.allFrames = options.allFrames;
  request.keepAlpha = format != MagickFormat::kBmp || BitmapMayHaveAlpha(source.bytes);
  request.context = &context;
  request.acceptSize = AcceptSize;
  request.pixelsFor = PixelsFor;
  MagickReadResult result;
  {
    const std::lock_guard lock(module.SharedReadLock());
    result = read(&request);
  }
  switch (result) {
    case MagickReadResult::kRead:
      break;
    case MagickReadResult::kRefused:
      std::rethrow_exception(context.refusal);
    case MagickReadResult::kFailed:
      RaiseDecodeError(fileName, request.why);
  }
  if (context.decoded.frames.empty())
    RaiseDecodeError(fileName, "not a readable " + coder + " file: the reader returned no picture");
  Finish(*context.decoded.frames.back(), options.gray);
  context.decoded.frameCount = std::max(request.frameCount, static_cast<int>(context.decoded.frames.size()));
  context.decoded.incomplete = request.incomplete;
  return std::move(context.decoded);
}

}  // namespace

void StartGraphicsMagick(const Runtime& runtime) { Module(runtime); }

DecodedFrames MagickDecoder::DecodeFile(const std::u16string& fileName, const DecodeOptions& options) const {
  if (format_ != MagickFormat::kCut) return GraphicDecoder::DecodeFile(fileName, options);
  // Read through the path: the reader looks for the palette file of the same name beside it.
  const std::string bytes = ReadFileBytes(fileName);
  return ReadPicture(Module(runtime_), format_, {bytes, Utf16ToUtf8(fileName)}, fileName, options);
}

DecodedFrames MagickDecoder::Decode(std::string_view bytes, const std::u16string& fileName,
                                    const DecodeOptions& options) const {
  if (format_ == MagickFormat::kBmp && IsPackedDib(bytes)) {
    const std::string bmp = WithBitmapFileHeader(bytes);
    return ReadPicture(Module(runtime_), format_, {bmp, {}}, fileName, options);
  }
  return ReadPicture(Module(runtime_), format_, {bytes, {}}, fileName, options);
}

}  // namespace bookloom
