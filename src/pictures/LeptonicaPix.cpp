#include "pictures/LeptonicaPix.h"

#include <new>

#include "platform/Exception.h"

namespace bookloom {

namespace {

// Leptonica reports failures on stderr unless told otherwise; each caller checks what it returns.
void Silence(const Leptonica& lept) { lept.setMsgSeverity(L_SEVERITY_NONE); }

}  // namespace

const Leptonica& LeptonicaOf(const Runtime& runtime) {
  const LoadedFunctions<Leptonica>& leptonica = runtime.Library<Leptonica>(BOOKLOOM_LIBLEPT, Silence);
  if (!leptonica.functions) throw GraphicOperationError("scanned pages need Leptonica: " + leptonica.problem);
  return *leptonica.functions;
}

PixPtr MadePix(const Leptonica& lept, Pix* pix) {
  if (!pix) throw std::bad_alloc();
  return PixPtr(pix, PixRelease{&lept});
}

PixPtr PixOf(const Leptonica& lept, const GrayView& view) {
  PixPtr pix = MadePix(lept, lept.pixCreateNoInit(view.width, view.height, 8));
  l_uint32* data = lept.pixGetData(pix.get());
  const int wpl = lept.pixGetWpl(pix.get());
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    l_uint32* line = data + static_cast<size_t>(y) * wpl;
    for (int x = 0; x < view.width; ++x) SET_DATA_BYTE(line, x, row[x]);
  }
  return pix;
}

GrayImage GrayOfPix(const Leptonica& lept, Pix* pix) {
  GrayImage image(lept.pixGetWidth(pix), lept.pixGetHeight(pix));
  const l_uint32* data = lept.pixGetData(pix);
  const int wpl = lept.pixGetWpl(pix);
  for (int y = 0; y < image.Height(); ++y) {
    const l_uint32* line = data + static_cast<size_t>(y) * wpl;
    uint8_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) row[x] = static_cast<uint8_t>(GET_DATA_BYTE(line, x));
  }
  return image;
}

PixPtr InkOf(const Leptonica& lept, const GrayView& view, int threshold) {
  PixPtr pix = MadePix(lept, lept.pixCreate(view.width, view.height, 1));
  l_uint32* data = lept.pixGetData(pix.get());
  const int wpl = lept.pixGetWpl(pix.get());
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    l_uint32* line = data + static_cast<size_t>(y) * wpl;
    for (int x = 0; x < view.width; ++x)
      if (row[x] < threshold) SET_DATA_BIT(line, x);
  }
  return pix;
}

std::vector<PictureBox> InkParts(const Leptonica& lept, Pix* ink) {
  BOXA* boxes = lept.pixConnComp(ink, nullptr, 8);
  if (!boxes) throw std::bad_alloc();
  std::vector<PictureBox> parts(static_cast<size_t>(lept.boxaGetCount(boxes)));
  for (size_t i = 0; i < parts.size(); ++i) {
    PictureBox& p = parts[i];
    lept.boxaGetBoxGeometry(boxes, static_cast<int>(i), &p.x, &p.y, &p.width, &p.height);
  }
  lept.boxaDestroy(&boxes);
  return parts;
}

const l_uint32* RowOf(const Leptonica& lept, Pix* pix, int y) {
  return lept.pixGetData(pix) + static_cast<size_t>(y) * lept.pixGetWpl(pix);
}

}  // namespace bookloom
