// Finds the uniform borders of a picture that cropping trims: the near-white or near-black margins
// around scanned pages and comics.
#pragma once

#include "pictures/GrayImage.h"

namespace bookloom {

// A part of a picture: x, y of its top-left pixel and its size.
struct PictureBox {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PictureBox&, const PictureBox&) = default;
};

// How far a line of pixels may be from the border's grey and still be border.
inline constexpr int kCropTolerance = 24;
// A border's grey lies within this of white or of black.
inline constexpr int kCropBorderReach = 64;
// A line is border while at most one pixel in this many strays beyond the tolerance (dust, noise).
inline constexpr int kCropStrayShare = 256;
// Each side loses at most this share of the picture's width (left, right) or height (top, bottom).
inline constexpr int kCropMostPercent = 20;

// The picture without its uniform borders. Each side is looked at on its own: its outermost line
// gives the border's grey (its middle value), which must be near white or near black; then lines
// are border, from the edge inwards, while all but a few of their pixels lie within the tolerance of
// that grey, and never more than the set share of the side. Top and bottom are found first, then
// left and right over the rows between them. The whole picture when it has no such border.
PictureBox CropBox(const GrayView& picture);

}  // namespace bookloom
