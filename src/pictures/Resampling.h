// Resizing of grey pictures with a separable filter: every row to the new width, then every column to
// the new height, in 32-bit floating point so that every build gives the same bytes.
#pragma once

#include <array>
#include <cstddef>

#include "pictures/GrayImage.h"

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

// Fills every pixel of target, whose size the caller has set, with the source resampled by the
// filter. The weights a target pixel takes from its source pixels are normalised to sum to 1, so
// that a uniform picture stays uniform. Raises GraphicOperationError when source or target has no
// pixels.
void ResampleGray(const GrayView& source, GrayImage& target, FilterFunction filter, float support);

}  // namespace bookloom
