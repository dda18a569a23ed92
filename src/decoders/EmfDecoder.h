// Enhanced metafiles (.emf), drawn by the metafile module, loaded at the first metafile (see
// decoders/EmfPlugin.h): the picture's records are played on a surface the size of its frame at 96
// dots per inch, on white.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "decoders/Graphic.h"
#include "platform/Runtime.h"

namespace bookloom {

// Plays the bytes of a file with the run's metafile module; the name is only used in error messages. A frame
// larger than `maxPixels` (or the side limit) is drawn scaled down to fit.
std::unique_ptr<Graphic> DecodeEmf(const Runtime& runtime, std::string_view bytes,
                                   const std::u16string& nameForMessages,
                                   int64_t maxPixels = kMaxPicturePixels);

// Loads the metafile module now rather than at the first metafile; later calls do nothing.
void StartEmfDecoder(const Runtime& runtime);

}  // namespace bookloom
