// The interface between the program and its enhanced metafile player, a module loaded at the first
// metafile decoded so that programs which never draw one do not load cairo, fontconfig, FreeType and
// the libraries they pull in. Plain data and callbacks only: the module shares no code with the
// program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bookloom {

// Raised whenever a request or a function changes; a module of another version is not used.
inline constexpr int kEmfPluginVersion = 2;
inline constexpr const char* kEmfPluginFile = "bookloom-emf.so";
inline constexpr const char* kEmfPluginStartEntry = "BookloomEmfStart";

struct EmfDrawRequest {
  const char* bytes = nullptr;  // the file's bytes
  size_t size = 0;
  int64_t maxPixels = 0;  // a frame of more pixels is drawn scaled down to fit

  void* context = nullptr;
  // Where the picture goes once its size is known, before a record is played: rows of RGB from the
  // top with nothing between them. nullptr refuses the picture.
  uint8_t* (*pixelsFor)(void* context, int width, int height) = nullptr;

  char why[512] = {};  // set by the module: the reason of a failure
};

enum class EmfDrawResult : int {
  kDrawn = 0,
  kUnreadable = 1,   // the file is no metafile or a damaged one: `why` says why, without the file's name
  kOutOfMemory = 2,  // memory ran out
  kFailed = 3,       // another error: `why` holds its message
  kRefused = 4,      // the callback refused the picture
};

// The module's functions.
struct EmfModuleFunctions {
  EmfDrawResult (*draw)(EmfDrawRequest* request);
};

// The module's entry point: its functions, or null when it is of another version than `version`.
using EmfStartFunction = const EmfModuleFunctions* (*)(int version);

}  // namespace bookloom
