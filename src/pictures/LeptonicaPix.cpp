#include "pictures/LeptonicaPix.h"

#include <leptonica/allheaders.h>

#include <new>

namespace bookloom {

namespace {

// Leptonica reports failures on stderr unless told otherwise; each caller checks what it returns.
void Quiet() {
  static const bool quiet = (setMsgSeverity(L_SEVERITY_NONE), true);
  (void)quiet;
}

PixPtr Made(Pix* pix) {
  if (!pix) throw std::bad_alloc();
  return PixPtr(pix);
}

}  // namespace

void PixRelease::operator()(Pix* pix) const { pixDestroy(&pix); }

PixPtr PixOf(const GrayView& view) {
  Quiet();
  PixPtr pix = Made(pixCreateNoInit(view.width, view.height, 8));
  l_uint32* data = pixGetData(pix.get());
  const int wpl = pixGetWpl(pix.get());
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    l_uint32* line = data + static_cast<size_t>(y) * wpl;
    for (int x = 0; x < view.width; ++x) SET_DATA_BYTE(line, x, row[x]);
  }
  return pix;
}

GrayImage GrayOfPix(Pix* pix) {
  GrayImage image(pixGetWidth(pix), pixGetHeight(pix));
  const l_uint32* data = pixGetData(pix);
  const int wpl = pixGetWpl(pix);
  for (int y = 0; y < image.Height(); ++y) {
    const l_uint32* line = data + static_cast<size_t>(y) * wpl;
    uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) row[x] = static_cast<uint8_t>(GET_DATA_BYTE(line, x));
  }
  return image;
}

PixPtr InkOf(const GrayView& view, int threshold) {
  Quiet();
  PixPtr pix = Made(pixCreate(view.width, view.height, 1));
  l_uint32* data = pixGetData(pix.get());
  const int wpl = pixGetWpl(pix.get());
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    l_uint32* line = data + static_cast<size_t>(y) * wpl;
    for (int x = 0; x < view.width; ++x)
      if (row[x] < threshold) SET_DATA_BIT(line, x);
  }
  return pix;
}

std::vector<PictureBox> InkParts(Pix* ink) {
  BOXA* boxes = pixConnComp(ink, nullptr, 8);
  if (!boxes) throw std::bad_alloc();
  std::vector<PictureBox> parts(static_cast<size_t>(boxaGetCount(boxes)));
  for (size_t i = 0; i < parts.size(); ++i) {
    PictureBox& p = parts[i];
    boxaGetBoxGeometry(boxes, static_cast<int>(i), &p.x, &p.y, &p.width, &p.height);
  }
  boxaDestroy(&boxes);
  return parts;
}

bool IsInk(Pix* ink, int x, int y) {
  return GET_DATA_BIT(pixGetData(ink) + static_cast<size_t>(y) * pixGetWpl(ink), x) != 0;
}

}  // namespace bookloom
