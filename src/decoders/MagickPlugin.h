// The interface between the program and its GraphicsMagick reader, a module loaded on first use so
// that programs which never read such a picture do not load GraphicsMagick and the dozens of
// libraries it pulls in. Plain data and callbacks only: the module shares no code with the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bookloom {

// Raised whenever a request changes; a module of another version is not used.
inline constexpr int kMagickPluginVersion = 3;
inline constexpr const char* kMagickPluginFile = "bookloom-magick.so";
inline constexpr const char* kMagickPluginStartEntry = "BookloomMagickStart";
inline constexpr const char* kMagickPluginEntry = "BookloomMagickRead";

// Sent once, when the module is loaded: GraphicsMagick's own resource limits, which then hold for
// every picture it reads.
struct MagickStartRequest {
  int version = kMagickPluginVersion;
  int64_t maxSide = 0;
  int64_t maxPixels = 0;
};

struct MagickReadRequest {
  int version = kMagickPluginVersion;
  const char* coder = nullptr;  // GraphicsMagick's reader, named explicitly: "BMP", "TIFF", ...
  const char* bytes = nullptr;  // the file's bytes ...
  size_t size = 0;
  const char* path = nullptr;  // ... or, when not null, the file read by its path (UTF-8)
  bool largestFrame = false;   // read every frame and take the largest, true colour and alpha first
  int subImage = 0;            // otherwise the one frame to read
  bool pages = false;          // the frames are pages of their own (TIFF, GIF): they are counted, and ...
  bool allFrames = false;      // ... with this every one is delivered, in order
  bool keepAlpha = true;       // false: an alpha channel the reader reports is dropped

  void* context = nullptr;
  // The picture's size, from the header before decoding (unless the reader cannot tell it) and
  // again for each decoded frame: false refuses the picture.
  bool (*acceptSize)(void* context, uint64_t width, uint64_t height) = nullptr;
  // Where a frame's rows go, RGB or RGBA from the top, asked once for each frame delivered: nullptr
  // refuses the picture.
  uint8_t* (*pixelsFor)(void* context, int width, int height, bool alpha) = nullptr;

  int frameCount = 1;       // set by the module: the frames the file holds (with `pages`)
  bool incomplete = false;  // set by the module: the reader reported damage but made the picture
  char why[512] = {};       // the reason of a failure
};

enum class MagickReadResult : int {
  kRead = 0,
  kFailed = 1,   // `why` says why
  kRefused = 2,  // a callback refused the picture
};

// The module's entry points: start, once, then read; false from start means a module of another
// version.
using MagickStartFunction = bool (*)(const MagickStartRequest* request);
using MagickReadFunction = MagickReadResult (*)(MagickReadRequest* request);

}  // namespace bookloom
