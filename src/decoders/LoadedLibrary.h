// The libraries of the system that decoders load at their first picture (see platform/Modules.h).
#pragma once

#include <string>

#include "decoders/DecodeFailure.h"
#include "platform/Modules.h"

namespace bookloom {

// The functions of a loaded library (`name`: "libwebp"); DecodeError naming the picture's file when
// the library or one of its functions is missing.
template <class Functions>
const Functions& FunctionsFor(const LoadedFunctions<Functions>& library, const char* name,
                              const std::u16string& fileName) {
  if (!library.functions)
    RaiseDecodeError(fileName, std::string(name) + " cannot be loaded: " + library.problem);
  return *library.functions;
}

}  // namespace bookloom
