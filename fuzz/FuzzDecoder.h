// What the decoder fuzz targets share: small picture limits, so that every input stays quick, and
// decoding that treats the decoders' own errors as the expected outcome.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"
#include "platform/Exception.h"

namespace bookloom::fuzz {

inline void LimitPictureSizes() { SetPictureLimits({.maxSide = 4096, .maxPixels = 1 << 22}); }

// Decodes the bytes; errors of the program are fine, anything else (a crash, a sanitizer report,
// another exception) is a finding.
inline void Decode(const TGraphicDecoder& decoder, const uint8_t* data, size_t size,
                   const std::u16string& name) {
  try {
    decoder.LoadFromMemory({reinterpret_cast<const char*>(data), size}, name);
  } catch (const Exception&) {
  }
}

}  // namespace bookloom::fuzz
