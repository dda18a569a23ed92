// How a picture is sized to fit an area with its aspect ratio kept.
#pragma once

#include <optional>

namespace bookloom {

struct PixelSize {
  int width = 0;
  int height = 0;
};

// The size a picture of width x height is scaled to for an area, or nothing when it keeps its size:
// the area has no room, the picture is one pixel wide or high, or it fits and is not to be enlarged.
std::optional<PixelSize> FittedSize(int width, int height, int areaWidth, int areaHeight, bool enlarge);

}  // namespace bookloom
