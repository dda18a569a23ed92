#include "pictures/LeptonicaPix.h"

#include <new>

#include "platform/Exception.h"

namespace bookloom {

namespace {

PixPtr Made(Pix* pix) {
  if (!pix) throw std::bad_alloc();
  return PixPtr(pix);
}

}  // namespace

const Leptonica& Lept() {
  static const LoadedFunctions<Leptonica> leptonica = [] {
    LoadedFunctions<Leptonica> loaded = LoadLibraryFunctions<Leptonica>(BOOKLOOM_LIBLEPT);
    // Leptonica reports failures on stderr unless told otherwise; each caller checks what it returns.
    if (loaded.functions) loaded.functions->setMsgSeverity(L_SEVERITY_NONE);
    return loaded;
  }();
  if (!leptonica.functions) throw GraphicOperationError("scanned pages need Leptonica: " + leptonica.problem);
  return *leptonica.functions;
}

void PixRelease::operator()(Pix* pix) const { Lept().pixDestroy(&pix); }

PixPtr PixOf(const GrayView& view) {
  PixPtr pix = Made(Lept().pixCreateNoInit(view.width, view.height, 8));
  l_uint32* data = Lept().pixGetData(pix.get());
  const int wpl = Lept().pixGetWpl(pix.get());
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    l_uint32* line = data + static_cast<size_t>(y) * wpl;
    for (int x = 0; x < view.width; ++x) SET_DATA_BYTE(line, x, row[x]);
  }
  return pix;
}

GrayImage GrayOfPix(Pix* pix) {
  GrayImage image(Lept().pixGetWidth(pix), Lept().pixGetHeight(pix));
  const l_uint32* data = Lept().pixGetData(pix);
  const int wpl = Lept().pixGetWpl(pix);
  for (int y = 0; y < image.Height(); ++y) {
    const l_uint32* line = data + static_cast<size_t>(y) * wpl;
    uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) row[x] = static_cast<uint8_t>(GET_DATA_BYTE(line, x));
  }
  return image;
}

PixPtr InkOf(const GrayView& view, int threshold) {
  PixPtr pix = Made(Lept().pixCreate(view.width, view.height, 1));
  l_uint32* data = Lept().pixGetData(pix.get());
  const int wpl = Lept().pixGetWpl(pix.get());
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    l_uint32* line = data + static_cast<size_t>(y) * wpl;
    for (int x = 0; x < view.width; ++x)
      if (row[x] < threshold) SET_DATA_BIT(line, x);
  }
  return pix;
}

std::vector<PictureBox> InkParts(Pix* ink) {
  BOXA* boxes = Lept().pixConnComp(ink, nullptr, 8);
  if (!boxes) throw std::bad_alloc();
  std::vector<PictureBox> parts(static_cast<size_t>(Lept().boxaGetCount(boxes)));
  for (size_t i = 0; i < parts.size(); ++i) {
    PictureBox& p = parts[i];
    Lept().boxaGetBoxGeometry(boxes, static_cast<int>(i), &p.x, &p.y, &p.width, &p.height);
  }
  Lept().boxaDestroy(&boxes);
  return parts;
}

const l_uint32* RowOf(Pix* pix, int y) {
  return Lept().pixGetData(pix) + static_cast<size_t>(y) * Lept().pixGetWpl(pix);
}

}  // namespace bookloom
