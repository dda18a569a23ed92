#include "pictures/BorderCrop.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace bookloom {

namespace {

// One line of pixels inwards from an edge: `count` pixels from `first`, `step` bytes apart.
struct Line {
  const uint8_t* first;
  ptrdiff_t step;
  int count;
  uint8_t At(int i) const { return first[i * step]; }
};

// The middle value of a line's greys.
int MiddleGrey(const Line& line) {
  std::vector<uint8_t> greys(static_cast<size_t>(line.count));
  for (int i = 0; i < line.count; ++i) greys[i] = line.At(i);
  std::nth_element(greys.begin(), greys.begin() + line.count / 2, greys.end());
  return greys[line.count / 2];
}

bool IsBorder(const Line& line, int grey) {
  const int strays = line.count / kCropStrayShare;
  int stray = 0;
  for (int i = 0; i < line.count; ++i)
    if (std::abs(line.At(i) - grey) > kCropTolerance && ++stray > strays) return false;
  return true;
}

// How many lines from an edge are border: `lineAt(k)` is the k-th line inwards, at most `most` of them.
template <class LineAt>
int BorderLines(LineAt lineAt, int most) {
  if (most <= 0) return 0;
  const int grey = MiddleGrey(lineAt(0));
  if (grey > kCropBorderReach && grey < 255 - kCropBorderReach) return 0;
  int lines = 0;
  while (lines < most && IsBorder(lineAt(lines), grey)) ++lines;
  return lines;
}

}  // namespace

PictureBox CropBox(const GrayView& picture) {
  const int w = picture.width, h = picture.height;
  const auto stride = static_cast<ptrdiff_t>(picture.stride);
  const int mostRows = h * kCropMostPercent / 100, mostColumns = w * kCropMostPercent / 100;
  const int top = BorderLines([&](int k) { return Line{picture.Row(k), 1, w}; }, mostRows);
  const int bottom = BorderLines([&](int k) { return Line{picture.Row(h - 1 - k), 1, w}; }, mostRows);
  const int rows = h - top - bottom;
  const int left = BorderLines([&](int k) { return Line{picture.Row(top) + k, stride, rows}; }, mostColumns);
  const int right = BorderLines(
      [&](int k) {
        return Line{picture.Row(top) + (w - 1 - k), stride, rows};
      },
      mostColumns);
  return {left, top, w - left - right, rows};
}

}  // namespace bookloom
