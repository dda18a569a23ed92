// Grey pictures handed to Leptonica and back, for the work on scanned pages: its pictures owned by
// unique_ptr, its messages kept off the terminal (failures reach the user as our own errors).
#pragma once

#include <memory>
#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"

struct Pix;

namespace bookloom {

struct PixRelease {
  void operator()(Pix* pix) const;
};
using PixPtr = std::unique_ptr<Pix, PixRelease>;

// An 8-bit Leptonica picture of the view's pixels.
PixPtr PixOf(const GrayView& view);
// The pixels of an 8-bit Leptonica picture.
GrayImage GrayOfPix(Pix* pix);
// A 1-bit picture of the view: 1 where a pixel is darker than `threshold` (ink), 0 elsewhere (paper).
PixPtr InkOf(const GrayView& view, int threshold);
// The boxes of the 8-connected parts of a 1-bit picture's ink.
std::vector<PictureBox> InkParts(Pix* ink);
// Whether the pixel of a 1-bit picture is ink.
bool IsInk(Pix* ink, int x, int y);

}  // namespace bookloom
