// Colour conversions the own decoders share: linear light to sRGB, and CIE Lab (D50) to sRGB.
#pragma once

#include <cstdint>

#include "platform/Bitmap.h"

namespace bookloom {

// A linear-light value (0 = black, 1 = white; outside values are clamped) as an 8-bit sRGB value.
uint8_t LinearToSrgb8(float linear);

// L* in 0..100, a* and b* in about -128..127, relative to the D50 white, as sRGB.
Rgb LabToSrgb(float l, float a, float b);

}  // namespace bookloom
