// Resizing of grey pictures with a separable filter: every row to the new width, then every column to
// the new height, in 32-bit floating point so that every build gives the same bytes.
#pragma once

#include "pictures/GrayImage.h"

namespace bookloom {

using FilterFunction = float (*)(float);

// The filter pictures are fitted to the page with, Lanczos of three lobes: the weight of a sample at
// a distance, in source pixels after scaling, zero from kLanczos3Support on.
float Lanczos3Filter(float x);
inline constexpr float kLanczos3Support = 3.0f;

// Fills every pixel of target, whose size the caller has set, with the source resampled by the
// filter. The weights a target pixel takes from its source pixels are normalised to sum to 1, so
// that a uniform picture stays uniform. Raises GraphicOperationError when source or target has no
// pixels.
void ResampleGray(const GrayView& source, GrayImage& target, FilterFunction filter, float support);

}  // namespace bookloom
