// Resizing of bitmaps with a separable filter: every row to the new width, then every column to the
// new height, in 32-bit floating point so that every build gives the same bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/Bitmap.h"

namespace bookloom {

using FilterFunction = float (*)(float);

struct ResampleFilter {
  const char* name;
  FilterFunction filter;  // the weight of a sample at a distance, in source pixels after scaling
  float support;          // the distance beyond which the weight is zero
};

// Box, Triangle, Hermite, Bell, B-Spline, Lanczos3, Mitchell.
extern const std::array<ResampleFilter, 7> kResampleFilters;
inline constexpr size_t kLanczos3Filter = 5;  // the filter pictures are fitted to the page with

// Rows of 24-bit pixels: blue, green, red as in a Bitmap, or red first as in a decoded graphic.
struct PixelRows {
  const uint8_t* top;  // the first row
  size_t stride;       // bytes from one row to the next
  int width;
  int height;
  bool redFirst;
  const uint8_t* Row(int y) const { return top + static_cast<size_t>(y) * stride; }
};

// Fills every pixel of target, whose size the caller has set, with the source rows resampled by the
// filter; target becomes 24 bits per pixel, blue first. Raises GraphicOperationError when source
// or target has no pixels.
void ResamplePixels(const PixelRows& source, Bitmap& target, FilterFunction filter, float support);

// Fills every pixel of target, whose size the caller has set, with source resampled by the filter;
// both bitmaps become 24 bits per pixel. Raises GraphicOperationError when source or target
// has no pixels.
void ResampleBitmap(Bitmap& source, Bitmap& target, FilterFunction filter, float support);

}  // namespace bookloom
