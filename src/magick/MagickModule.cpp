// The GraphicsMagick reader module: reads one picture as a request says and hands its pixels to the
// program. Loaded by the program on first use (see decoders/MagickPlugin.h).
#include <Magick++.h>
#include <fcntl.h>
#include <pthread.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <list>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "decoders/MagickPlugin.h"

namespace {

using bookloom::MagickReadRequest;
using bookloom::MagickReadResult;
using Frames = std::list<Magick::Image>;

// A failure with the reason already in the request.
struct Failed {};
// A callback refused the picture.
struct Refused {};

void SetWhy(MagickReadRequest& request, const std::string& why) {
  std::snprintf(request.why, sizeof request.why, "not a readable %s file: %s", request.coder, why.c_str());
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
    // A file name in the description is the picture's, or a temporary file of GraphicsMagick's: the
    // message names the picture already.
    if (info_.description && *info_.description && *info_.description != '/')
      why += std::string(" (") + info_.description + ")";
    return why;
  }

 private:
  MagickLib::ExceptionInfo info_;
};

// Whether programs that the reading thread starts (GraphicsMagick runs Ghostscript for PostScript)
// are silenced.
thread_local bool quietChildren = false;

// Runs in every child process right after fork: a child of a reading thread gets no terminal, so
// that what its program prints never reaches the user (the reader reports its failure as an error).
// Only async-signal-safe calls are made here.
void QuietChild() {
  if (!quietChildren) return;
  const int null = open("/dev/null", O_RDWR);
  if (null < 0) return;
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, fd);
  if (null > STDERR_FILENO) close(null);
}

// Silences the children started while it lives on this thread.
class QuietChildren {
 public:
  QuietChildren() { quietChildren = true; }
  ~QuietChildren() { quietChildren = false; }
  QuietChildren(const QuietChildren&) = delete;
  QuietChildren& operator=(const QuietChildren&) = delete;
};

// The reading options: the reader named explicitly, and the one frame to decode (all without).
Magick::Image ReadingOptions(const MagickReadRequest& request, std::optional<int> frame) {
  Magick::Image options;
  options.magick(request.coder);
  options.fileName(std::string(request.coder) + ":" + (request.path ? request.path : ""));
  if (!frame) return options;
  options.subImage(static_cast<unsigned>(*frame));
  options.subRange(1);
  return options;
}

// Reads, or only pings, the frames (the options are a copy that shares the original's data). A reader
// that reports an error beside the frames it made (a file cut short, a damaged strip) leaves the
// picture incomplete; without frames it failed.
Frames ReadFrames(Magick::Image options, MagickReadRequest& request, bool ping) {
  MagickExceptionInfo exception;
  const MagickLib::ImageInfo* info = options.imageInfo();
  MagickLib::Image* list = nullptr;
  if (!request.path)
    list = ping ? MagickLib::PingBlob(info, request.bytes, request.size, exception.Get())
                : MagickLib::BlobToImage(info, request.bytes, request.size, exception.Get());
  else
    list = ping ? MagickLib::PingImage(info, exception.Get()) : MagickLib::ReadImage(info, exception.Get());
  Frames frames;
  Magick::insertImages(&frames, list);
  if (frames.empty()) {
    SetWhy(request, exception.Why());
    throw Failed{};
  }
  if (exception.Failed()) request.incomplete = true;
  return frames;
}

// The frame that becomes the picture: the first, or the largest, true colour and with transparency
// before palette images of the same size.
Magick::Image& ChooseFrame(Frames& frames, bool largest) {
  if (!largest) return frames.front();
  const auto rank = [](const Magick::Image& f) {
    return std::make_tuple(uint64_t{f.columns()} * f.rows(), f.classType() == Magick::DirectClass, f.matte());
  };
  return *std::max_element(frames.begin(), frames.end(),
                           [&](const Magick::Image& a, const Magick::Image& b) { return rank(a) < rank(b); });
}

void Deliver(Magick::Image& frame, MagickReadRequest& request) {
  if (!request.keepAlpha) frame.matte(false);
  // A TIFF may store its rows bottom to top or turned; of the families read here only TIFF
  // readers report an orientation, the others deliver their rows upright.
  frame.autoOrient();
  if (!request.acceptSize(request.context, frame.columns(), frame.rows())) throw Refused{};
  frame.colorSpace(Magick::RGBColorspace);  // CMYK and other spaces become RGB
  const bool alpha = frame.matte();
  uint8_t* pixels = request.pixelsFor(request.context, static_cast<int>(frame.columns()),
                                      static_cast<int>(frame.rows()), alpha);
  if (!pixels) throw Refused{};
  frame.write(0, 0, frame.columns(), frame.rows(), alpha ? "RGBA" : "RGB", Magick::CharPixel, pixels);
}

// The bytes of a TIFF file as libtiff reads them.
struct TiffSource {
  const MagickReadRequest& request;
  toff_t at = 0;
  int errors = 0;  // reported by libtiff while reading
};

tmsize_t TiffRead(thandle_t handle, void* buffer, tmsize_t size) {
  auto& source = *static_cast<TiffSource*>(handle);
  const toff_t left = source.at < source.request.size ? source.request.size - source.at : 0;
  const auto count = static_cast<tmsize_t>(std::min<toff_t>(left, static_cast<toff_t>(size)));
  std::memcpy(buffer, source.request.bytes + source.at, static_cast<size_t>(count));
  source.at += static_cast<toff_t>(count);
  return count;
}
tmsize_t TiffWrite(thandle_t, void*, tmsize_t) { return 0; }
toff_t TiffSeek(thandle_t handle, toff_t offset, int whence) {
  auto& source = *static_cast<TiffSource*>(handle);
  const toff_t base = whence == SEEK_CUR ? source.at : whence == SEEK_END ? source.request.size : 0;
  return source.at = base + offset;
}
int TiffClose(thandle_t) { return 0; }
toff_t TiffSize(thandle_t handle) { return static_cast<TiffSource*>(handle)->request.size; }
int TiffMap(thandle_t, void**, toff_t*) { return 0; }
void TiffUnmap(thandle_t, void*, toff_t) {}

// libtiff's messages are counted, never printed.
int TiffError(TIFF*, void* source, const char*, const char*, va_list) {
  ++static_cast<TiffSource*>(source)->errors;
  return 1;
}
int TiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Page `page` of a TIFF whose strips or tiles GraphicsMagick could not all read, through libtiff
// straight, which goes on past the damage: what could be read becomes the picture, marked
// incomplete. False when libtiff cannot make the picture either.
bool ReadPastDamage(MagickReadRequest& request, int page) {
  if (!request.bytes) return false;
  TiffSource source{request};
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, TiffError, &source);
  TIFFOpenOptionsSetWarningHandlerExtR(options, TiffWarning, &source);
  TIFF* tiff = TIFFClientOpenExt("picture", "rm", &source, TiffRead, TiffWrite, TiffSeek, TiffClose, TiffSize,
                                 TiffMap, TiffUnmap, options);
  TIFFOpenOptionsFree(options);
  if (!tiff) return false;
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> raster;
  bool read = TIFFSetDirectory(tiff, static_cast<tdir_t>(page)) &&
              TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) &&
              TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  if (read && !request.acceptSize(request.context, width, height)) {
    TIFFClose(tiff);
    throw Refused{};
  }
  if (read) {
    raster.resize(size_t{width} * height, 0xFFFFFFFFu);  // what is never read stays white
    read = TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 0) != 0 &&
           source.errors > 0;
  }
  TIFFClose(tiff);
  if (!read) return false;
  uint8_t* pixels =
      request.pixelsFor(request.context, static_cast<int>(width), static_cast<int>(height), true);
  if (!pixels) throw Refused{};
  for (const uint32_t abgr : raster) {
    *pixels++ = static_cast<uint8_t>(TIFFGetR(abgr));
    *pixels++ = static_cast<uint8_t>(TIFFGetG(abgr));
    *pixels++ = static_cast<uint8_t>(TIFFGetB(abgr));
    *pixels++ = static_cast<uint8_t>(TIFFGetA(abgr));
  }
  request.incomplete = true;
  return true;
}

// Reads one frame and delivers it; a TIFF page that GraphicsMagick gives up on is read past its damage.
void ReadOne(MagickReadRequest& request, const Magick::Image& options, int frame) {
  try {
    Frames frames = ReadFrames(options, request, false);
    Deliver(frames.front(), request);
  } catch (const Failed&) {
    if (std::strcmp(request.coder, "TIFF") != 0 || !ReadPastDamage(request, frame)) throw;
  }
}

void Read(MagickReadRequest& request) {
  const QuietChildren quiet;
  const Magick::Image every = ReadingOptions(request, std::nullopt);
  const Magick::Image chosen = ReadingOptions(request, request.subImage);
  // The size first, from the header alone; readers that cannot tell it without decoding say 0. The
  // pages of a file are counted on the way.
  Frames probe = ReadFrames(request.pages || request.largestFrame ? every : chosen, request, true);
  const Magick::Image& first = probe.front();
  if (first.columns() != 0 && first.rows() != 0 &&
      !request.acceptSize(request.context, first.columns(), first.rows()))
    throw Refused{};
  request.frameCount = request.pages ? static_cast<int>(probe.size()) : 1;
  probe.clear();

  if (request.largestFrame) {
    Frames frames = ReadFrames(every, request, false);
    return Deliver(ChooseFrame(frames, true), request);
  }
  if (!request.pages || !request.allFrames) return ReadOne(request, chosen, request.subImage);
  if (std::strcmp(request.coder, "GIF") == 0) {
    // A GIF frame draws on the ones before it: each is delivered as it is shown.
    Frames frames = ReadFrames(every, request, false);
    Frames shown;
    Magick::coalesceImages(&shown, frames.begin(), frames.end());
    for (Magick::Image& frame : shown) Deliver(frame, request);
    return;
  }
  // Pages stand alone: read one at a time, so that only one is held.
  for (int page = 0; page < request.frameCount; ++page) ReadOne(request, ReadingOptions(request, page), page);
}

}  // namespace

// libwmf, which GraphicsMagick reads Windows metafiles with, prints its errors on standard error
// ("ERROR: player/record.h: ..."), where they would reach the user's terminal. Its calls come here
// instead, ahead of its own, as the module is the first of the libraries it brings: the failure
// still reaches the program as GraphicsMagick's exception, naming the file.
extern "C" __attribute__((visibility("default"))) void wmf_error(void*, char*, int, char*) {}

extern "C" __attribute__((visibility("default"))) bool BookloomMagickStart(
    const bookloom::MagickStartRequest* request) {
  if (request->version != bookloom::kMagickPluginVersion) return false;
  Magick::InitializeMagick(nullptr);
  // GraphicsMagick's messages come back in the exceptions of each read; it prints none of its own.
  MagickLib::SetErrorHandler(nullptr);
  MagickLib::SetWarningHandler(nullptr);
  pthread_atfork(nullptr, nullptr, QuietChild);
  MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, static_cast<unsigned long>(request->maxSide));
  MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, static_cast<unsigned long>(request->maxSide));
  MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource,
                                    static_cast<unsigned long>(request->maxPixels));
  return true;
}

extern "C" __attribute__((visibility("default"))) MagickReadResult BookloomMagickRead(
    MagickReadRequest* request) {
  if (request->version != bookloom::kMagickPluginVersion) {
    std::snprintf(request->why, sizeof request->why, "the GraphicsMagick reader is of another version");
    return MagickReadResult::kFailed;
  }
  try {
    Read(*request);
    return MagickReadResult::kRead;
  } catch (const Failed&) {
    return MagickReadResult::kFailed;
  } catch (const Refused&) {
    return MagickReadResult::kRefused;
  } catch (const Magick::Exception& e) {
    SetWhy(*request, e.what());
    return MagickReadResult::kFailed;
  } catch (const std::exception& e) {
    SetWhy(*request, e.what());
    return MagickReadResult::kFailed;
  }
}
