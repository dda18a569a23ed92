#include "decoders/WebpDecoder.h"

#include <webp/demux.h>

#include <cstring>
#include <memory>

#include "decoders/LoadedLibrary.h"

namespace bookloom {

namespace {

// The functions of libwebp's demultiplexer that the decoder calls: the container's canvas and frame
// count, and the animation decoder, which reads still pictures as one frame too.
// clang-format off
#define LIBWEBP_FUNCTIONS(F)                                                                       \
  F(WebPDemuxInternal) F(WebPDemuxGetI) F(WebPDemuxDelete)                                         \
  F(WebPAnimDecoderOptionsInitInternal) F(WebPAnimDecoderNewInternal) F(WebPAnimDecoderGetNext)    \
  F(WebPAnimDecoderDelete)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Libwebp, LIBWEBP_FUNCTIONS);

// libwebp's functions, loaded at the first WebP picture; DecodeError naming the file when libwebp
// cannot be loaded.
const Libwebp& LibwebpFor(const Runtime& runtime, const std::u16string& fileName) {
  return FunctionsFor(runtime.Library<Libwebp>(BOOKLOOM_LIBWEBPDEMUX), "libwebp", fileName);
}

[[noreturn]] void RaiseWebpError(const std::u16string& fileName, const std::string& why) {
  RaiseDecodeError(fileName, "not a readable WebP file: " + why);
}

// The canvas size and the frame count of a WebP container, the size checked against the limits
// before any pixel is decoded.
struct Canvas {
  int width = 0;
  int height = 0;
  int frameCount = 0;
};

Canvas ReadCanvas(const Libwebp& webp, const WebPData& data, const std::u16string& fileName) {
  const std::unique_ptr<WebPDemuxer, decltype(webp.WebPDemuxDelete)> demux(
      webp.WebPDemuxInternal(&data, 0, nullptr, WEBP_DEMUX_ABI_VERSION), webp.WebPDemuxDelete);
  if (!demux) RaiseWebpError(fileName, "its container is damaged or cut short");
  const Canvas canvas{static_cast<int>(webp.WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH)),
                      static_cast<int>(webp.WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT)),
                      static_cast<int>(webp.WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT))};
  CheckPictureSize(canvas.width, canvas.height, fileName);
  if (canvas.frameCount < 1) RaiseWebpError(fileName, "it holds no picture");
  return canvas;
}

// One frame as the animation decoder shows it (RGBA, the canvas composed so far), with an alpha
// channel that says nothing dropped, grey when asked for.
std::unique_ptr<Graphic> FrameOf(const uint8_t* rgba, const Canvas& canvas, bool gray) {
  auto frame = std::make_unique<Graphic>(canvas.width, canvas.height, PixelLayout::kRgba,
                                         Graphic::Pixels::kUninitialised);
  std::memcpy(frame->Row(0), rgba, frame->Stride() * static_cast<size_t>(canvas.height));
  frame->DropUniformAlpha();
  if (gray) frame->MakeGray();
  return frame;
}

}  // namespace

DecodedFrames WebpDecoder::Decode(std::string_view bytes, const std::u16string& fileName,
                                  const DecodeOptions& options) const {
  if (bytes.empty()) RaiseDecodeError(fileName, "the file is empty");
  const Libwebp& webp = LibwebpFor(runtime_, fileName);
  const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  const Canvas canvas = ReadCanvas(webp, data, fileName);

  WebPAnimDecoderOptions decoderOptions;
  if (!webp.WebPAnimDecoderOptionsInitInternal(&decoderOptions, WEBP_DEMUX_ABI_VERSION))
    RaiseWebpError(fileName, "libwebp is of another version");
  decoderOptions.color_mode = MODE_RGBA;
  decoderOptions.use_threads = 0;
  const std::unique_ptr<WebPAnimDecoder, decltype(webp.WebPAnimDecoderDelete)> decoder(
      webp.WebPAnimDecoderNewInternal(&data, &decoderOptions, WEBP_DEMUX_ABI_VERSION),
      webp.WebPAnimDecoderDelete);
  if (!decoder) RaiseWebpError(fileName, "its container is damaged");

  DecodedFrames decoded;
  decoded.frameCount = canvas.frameCount;
  const int wanted = options.allFrames ? canvas.frameCount : 1;
  for (int i = 0; i < wanted; ++i) {
    uint8_t* rgba = nullptr;
    int timestamp = 0;
    if (!webp.WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp)) {
      if (decoded.frames.empty()) RaiseWebpError(fileName, "its picture data is damaged or cut short");
      decoded.incomplete = true;  // the frames before the damaged one stay
      break;
    }
    decoded.frames.push_back(FrameOf(rgba, canvas, options.gray));
  }
  return decoded;
}

}  // namespace bookloom
