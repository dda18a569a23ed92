// Grey pictures handed to Leptonica and back, for the work on scanned pages. Leptonica (and the
// libraries of picture formats it brings: libtiff, libwebp, OpenJPEG, ...) is loaded into the Runtime at
// the first scan, and its functions called through one table; its pictures are owned by unique_ptr, its
// messages kept off the terminal (failures reach the user as our own errors).
#pragma once

#include <leptonica/allheaders.h>

#include <memory>
#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayImage.h"
#include "platform/Modules.h"
#include "platform/Runtime.h"

namespace bookloom {

// clang-format off
#define LEPTONICA_FUNCTIONS(F)                                                                      \
  F(setMsgSeverity) F(pixCreate) F(pixCreateNoInit) F(pixCopy) F(pixDestroy) F(pixGetData)          \
  F(pixGetWpl) F(pixGetWidth) F(pixGetHeight) F(pixThresholdToBinary) F(pixFindSkew) F(pixRotate)  \
  F(pixConnComp) F(pixClearInRect) F(pixDilateBrick) F(pixReduceRankBinary2)                       \
  F(pixWordMaskByDilation) F(boxCreate) F(boxDestroy) F(boxaGetCount) F(boxaGetBoxGeometry)        \
  F(boxaDestroy) F(numaCreate) F(numaAddNumber) F(numaSplitDistribution) F(numaDestroy)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Leptonica, LEPTONICA_FUNCTIONS);

// The runtime's Leptonica, loaded at the first call, its messages silenced; GraphicOperationError
// when it cannot be loaded.
const Leptonica& LeptonicaOf(const Runtime& runtime);

// Gives a picture back to the Leptonica that made it.
struct PixRelease {
  const Leptonica* lept = nullptr;
  void operator()(Pix* pix) const { lept->pixDestroy(&pix); }
};
using PixPtr = std::unique_ptr<Pix, PixRelease>;

// The picture a Leptonica function made, owned; std::bad_alloc when it made none.
PixPtr MadePix(const Leptonica& lept, Pix* pix);
// An 8-bit Leptonica picture of the view's pixels.
PixPtr PixOf(const Leptonica& lept, const GrayView& view);
// The pixels of an 8-bit Leptonica picture.
GrayImage GrayOfPix(const Leptonica& lept, Pix* pix);
// A 1-bit picture of the view: 1 where a pixel is darker than `threshold` (ink), 0 elsewhere (paper).
PixPtr InkOf(const Leptonica& lept, const GrayView& view, int threshold);
// The boxes of the 8-connected parts of a 1-bit picture's ink.
std::vector<PictureBox> InkParts(const Leptonica& lept, Pix* ink);
// The row y of a Leptonica picture's data.
const l_uint32* RowOf(const Leptonica& lept, Pix* pix, int y);
// Whether the pixel of a 1-bit picture is ink.
inline bool IsInk(const l_uint32* row, int x) { return GET_DATA_BIT(row, x) != 0; }

}  // namespace bookloom
