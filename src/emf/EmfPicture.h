// Enhanced metafiles (.emf): the picture's records are played on a cairo surface the size of its
// frame at 96 dots per inch, on white.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace bookloom::emf {

// Where the picture of width x height pixels goes: rows of RGB from the top with nothing between
// them. May raise to refuse the picture.
using PixelsForSize = std::function<uint8_t*(int width, int height)>;

// Plays the bytes of a file into the pixels that `pixelsFor` gives for the frame's size, which it is
// asked for before a record is played. A frame larger than `maxPixels` (or the side limit) is drawn
// scaled down to fit. Raises DecodeError with the reason alone, the file unnamed.
void DrawEmf(std::string_view bytes, int64_t maxPixels, const PixelsForSize& pixelsFor);

}  // namespace bookloom::emf
