// Tone adjustments of a grey picture before it is scaled: stretching its greys to black and white
// (autolevel) and a gamma curve, both as one table from old grey to new.
#pragma once

#include <array>
#include <cstdint>

#include "pictures/GrayImage.h"

namespace bookloom {

using GrayTable = std::array<uint8_t, 256>;

// The share of a picture's pixels, in tenths of a percent, that autolevel makes black and white at
// either end.
inline constexpr int kAutolevelClipPerMille = 5;

// The table that stretches the picture's greys: the grey below which lie the darkest 0.5 % of its
// pixels becomes black, the one above which lie the lightest 0.5 % white, those between spread
// evenly (rounded to nearest). A picture of one grey keeps its greys.
GrayTable AutolevelTable(const GrayView& picture);

// The table of a gamma curve: grey g becomes 255 * (g / 255)^(1 / gamma), rounded; gammas above 1
// lighten the middle greys, below 1 darken them. Black and white stay.
GrayTable GammaTable(double gamma);

// The table that applies `first`, then `second`.
GrayTable Then(const GrayTable& first, const GrayTable& second);

// Whether a table leaves every grey as it is.
bool IsIdentity(const GrayTable& table);

// The picture with every grey looked up in the table.
GrayImage Adjusted(const GrayView& picture, const GrayTable& table);

}  // namespace bookloom
