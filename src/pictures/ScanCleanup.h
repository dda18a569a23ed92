// Scanned pages made clean before they are fitted or set again: the page's turn undone, the paper's
// grey made white and the print's black, specks on the paper removed, photographs left as they are.
#pragma once

#include <span>
#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"
#include "platform/Runtime.h"

namespace bookloom {

struct Leptonica;

// The greys of a scan, from its histogram: the paper's (and lighter) become white, the print's (and
// darker) black, those between are stretched linearly. Paper and print are the two sides of the
// histogram's best split (Otsu's); the paper's level lies three spreads of its grain below its middle
// grey, the print's is the middle grey of the print. A page with too little print on it (blank paper
// with a few marks) keeps its darker greys as they are, and all of its grain becomes white.
struct ScanLevels {
  int print = 0;
  int paper = 255;
};
ScanLevels ScanLevelsOf(const Runtime& runtime, const GrayView& scan);

// Otsu's split of a histogram into two classes: the last bin of the lower one (Leptonica's).
int SplitOf(const Leptonica& lept, std::span<const double> counts);

// The middle of the values (the upper one of an even count); 0 without values.
int MedianOf(std::vector<int> values);

// The x-height of print made of these parts (letters, mostly): the middle height of the parts, leaving
// out dots and commas (below a third of the middle of all); 0 without parts.
int XHeightOf(const std::vector<PictureBox>& parts);

struct CleanedScan {
  GrayImage page;
  double skewDegrees = 0;            // the turn undone, counter-clockwise; 0 when none was found
  std::vector<PictureBox> pictures;  // photographs and drawings, in the cleaned page's pixels
};

// A part of the page's ink larger than this share of its width and height is a photograph or a
// drawing rather than print: it is left as it is, and reflow keeps it whole.
inline constexpr int kPictureShareOfWidth = 10;   // wider than a tenth of the page's width ...
inline constexpr int kPictureShareOfHeight = 20;  // ... and higher than a twentieth of its height

// Whether the part lies inside the box.
bool Inside(const PictureBox& part, const PictureBox& box);

// Grows each picture (a box of the page) to take in the connected area around it that is darker than
// `lighterThan`: a photograph's light greys with its dark ones. The area is found on the page at half
// its size, each pixel the mean of four, so that the paper's grain does not lead it astray.
void GrowToAreas(const Leptonica& lept, std::vector<PictureBox>& pictures, const GrayView& page,
                 int lighterThan);

// Cleans a scanned page: its skew (up to 7°) is measured on the print and undone, with white brought
// in at the corners; the greys are set by ScanLevelsOf; ink parts no larger than a sixth of the print's
// x-height (at least a pixel) on either side and farther than an x-height from larger ones (dust,
// grain) are removed; every pixel farther from the remaining ink than that sixth becomes white paper.
// Photographs and drawings (see above) keep their greys, to the edges of the area darker than the paper
// around their dark parts. Loads the runtime's Leptonica.
CleanedScan CleanScan(const Runtime& runtime, const GrayView& scan);

}  // namespace bookloom
