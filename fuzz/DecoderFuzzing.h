// What the decoder fuzz targets share: small picture limits, so that every input stays quick, and
// decoding that treats the decoders' own errors as the expected outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "decoders/Graphic.h"
#include "platform/Exception.h"
#include "platform/Runtime.h"

namespace bookloom::fuzz {

// The target's Runtime, which loads the libraries and modules its inputs need. libFuzzer's main()
// runs the target, so the target keeps the one object of its run here, made before the first input.
inline const Runtime& TargetRuntime() {
  static const Runtime runtime;
  return runtime;
}

inline void LimitPictureSizes() { SetPictureLimits({.maxSide = 4096, .maxPixels = 1 << 22}); }

// Decodes the bytes; DecodeError is fine, anything else (a crash, a sanitizer report, another
// exception) is a finding.
inline void Decode(const GraphicDecoder& decoder, const uint8_t* data, size_t size) {
  try {
    decoder.LoadFromMemory({reinterpret_cast<const char*>(data), size}, u"fuzz");
  } catch (const DecodeError&) {
  }
}

// Decodes every frame of the bytes, as --all-frames does.
inline void DecodeAllFrames(const GraphicDecoder& decoder, const uint8_t* data, size_t size) {
  try {
    decoder.Decode({reinterpret_cast<const char*>(data), size}, u"fuzz", {.allFrames = true});
  } catch (const DecodeError&) {
  }
}

// The same for a decoding function, with a pixel limit of its own on top of the picture limits.
inline void Decode(DecodeFunction decode, const uint8_t* data, size_t size, int64_t maxPixels) {
  try {
    decode({reinterpret_cast<const char*>(data), size}, u"fuzz", maxPixels);
  } catch (const DecodeError&) {
  }
}

}  // namespace bookloom::fuzz

// The entry points of a target that feeds every input to one decoding function.
#define BOOKLOOM_FUZZ_DECODE_FUNCTION(decode, maxPixels)                    \
  extern "C" int LLVMFuzzerInitialize(int*, char***) {                      \
    ::bookloom::fuzz::LimitPictureSizes();                                  \
    return 0;                                                               \
  }                                                                         \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    ::bookloom::fuzz::Decode(decode, data, size, maxPixels);                \
    return 0;                                                               \
  }

// The entry points of a target that feeds every input to a decoder of many frames, all of them decoded.
#define BOOKLOOM_FUZZ_DECODER_ALL_FRAMES(Decoder)                                              \
  extern "C" int LLVMFuzzerInitialize(int*, char***) {                                         \
    ::bookloom::fuzz::LimitPictureSizes();                                                     \
    return 0;                                                                                  \
  }                                                                                            \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {                    \
    ::bookloom::fuzz::DecodeAllFrames(Decoder(::bookloom::fuzz::TargetRuntime()), data, size); \
    return 0;                                                                                  \
  }
