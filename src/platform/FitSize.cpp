#include "platform/FitSize.h"

#include <algorithm>
#include <cstdint>

#include "platform/Bitmap.h"

namespace bookloom {

std::optional<PixelSize> FittedSize(int width, int height, int areaWidth, int areaHeight, bool enlarge) {
  if (areaWidth <= 0 || areaHeight <= 0 || width <= 1 || height <= 1) return std::nullopt;
  if (areaWidth >= width && areaHeight >= height && !enlarge) return std::nullopt;
  // Keep the aspect ratio: the side whose ratio is the tighter fills the area. The ratios are
  // compared exactly, so equal ratios fill the height.
  int newWidth, newHeight;
  if (static_cast<int64_t>(areaWidth) * height >= static_cast<int64_t>(width) * areaHeight) {
    newHeight = areaHeight;
    newWidth = MulDiv(width, areaHeight, height);
  } else {
    newWidth = areaWidth;
    newHeight = MulDiv(height, areaWidth, width);
  }
  // An extreme aspect ratio would round a side to nothing.
  return PixelSize{std::max(1, newWidth), std::max(1, newHeight)};
}

}  // namespace bookloom
