// Resizing of bitmaps with a separable filter: every row to the new width, then every column to the
// new height, in 32-bit floating point so that every build gives the same bytes.
#pragma once

#include <array>
#include <cstddef>

#include "platform/Bitmap.h"

namespace bookloom {

using TFilterProc = float (*)(float);

struct TResampleFilter {
  const char* Name;
  TFilterProc Filter;  // the weight of a sample at a distance, in source pixels after scaling
  float Support;       // the distance beyond which the weight is zero
};

// Box, Triangle, Hermite, Bell, B-Spline, Lanczos3, Mitchell.
extern const std::array<TResampleFilter, 7> ResampleFilterTable;
inline constexpr size_t kLanczos3Filter = 5;  // the filter pictures are fitted to the page with

// Fills every pixel of target, whose size the caller has set, with source resampled by the filter;
// both bitmaps become 24 bits per pixel. Raises EInvalidGraphicOperation when source or target
// has no pixels.
void ResampleBitmap(Bitmap& source, Bitmap& target, TFilterProc filter, float support);

}  // namespace bookloom
