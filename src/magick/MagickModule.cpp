// The GraphicsMagick reader module: reads one picture as a request says and hands its pixels to the
// program. Loaded by the program on first use (see decoders/MagickPlugin.h).
#include <Magick++.h>

#include <algorithm>
#include <cstdio>
#include <list>
#include <string>
#include <tuple>

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
    if (info_.description && *info_.description) why += std::string(" (") + info_.description + ")";
    return why;
  }

 private:
  MagickLib::ExceptionInfo info_;
};

// The reading options: the reader named explicitly, and which frames to decode.
Magick::Image ReadingOptions(const MagickReadRequest& request) {
  Magick::Image options;
  options.magick(request.coder);
  options.fileName(std::string(request.coder) + ":" + (request.path ? request.path : ""));
  if (request.largestFrame) return options;
  options.subImage(static_cast<unsigned>(request.subImage));
  options.subRange(1);
  return options;
}

// Reads, or only pings, the frames.
Frames ReadFrames(Magick::Image& options, MagickReadRequest& request, bool ping) {
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
  if (exception.Failed() || frames.empty()) {
    SetWhy(request, exception.Why());
    throw Failed{};
  }
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

void Read(MagickReadRequest& request) {
  Magick::Image options = ReadingOptions(request);
  // The size first, from the header alone; readers that cannot tell it without decoding say 0.
  Frames probe = ReadFrames(options, request, true);
  const Magick::Image& first = probe.front();
  if (first.columns() != 0 && first.rows() != 0 &&
      !request.acceptSize(request.context, first.columns(), first.rows()))
    throw Refused{};
  probe.clear();

  Frames frames = ReadFrames(options, request, false);
  Deliver(ChooseFrame(frames, request.largestFrame), request);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool BookloomMagickStart(
    const bookloom::MagickStartRequest* request) {
  if (request->version != bookloom::kMagickPluginVersion) return false;
  Magick::InitializeMagick(nullptr);
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
