#include "pictures/uBitmapProcs.h"

#include <algorithm>
#include <cstdint>

#include "decoders/Picture.h"
#include "pictures/uReduceColors.h"
#include "pictures/uResample.h"

namespace bookloom {

namespace {

// Scales, places and reduces the picture that `target` holds, in place.
void FitToPage(Bitmap& target, int pageWidth, int pageHeight, bool enlarge, int mode, int marginLeft,
               int marginRight, int marginTop, int marginBottom, bool makePage) {
  const int areaWidth = pageWidth - marginLeft - marginRight;
  const int areaHeight = pageHeight - marginTop - marginBottom;
  const bool haveArea = areaWidth > 0 && areaHeight > 0;

  const int width = target.Width(), height = target.Height();
  if (haveArea && width > 1 && height > 1 && (areaWidth < width || areaHeight < height || enlarge)) {
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
    Bitmap scaled(std::max(1, newWidth), std::max(1, newHeight), PixelFormat::pf24bit);
    const TResampleFilter& lanczos = ResampleFilterTable[kLanczos3Filter];
    ResampleBitmap(target, scaled, lanczos.Filter, lanczos.Support);
    target = std::move(scaled);
  }

  if (makePage && haveArea) {
    Bitmap page(pageWidth, pageHeight, PixelFormat::pf24bit);
    page.Fill(kWhite);
    target.DrawOnto(page, marginLeft + (areaWidth - target.Width()) / 2,
                    marginTop + (areaHeight - target.Height()) / 2);
    target = std::move(page);
  }

  if (mode == 1) {
    auto reduced = ReduceColors(target, rdMonochrome, dtStucki);
    reduced->SetFormat(PixelFormat::pf1bit);
    target = std::move(*reduced);
  } else if (mode == 2) {
    auto reduced = ReduceColors(target, rdGray4, dtStucki);
    reduced->SetFormat(PixelFormat::pf24bit);
    target = std::move(*reduced);
  }
}

}  // namespace

void FitPictureToPage(const Bitmap& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage) {
  if (&target != &source) target = source;
  FitToPage(target, pageWidth, pageHeight, enlarge, mode, marginLeft, marginRight, marginTop, marginBottom,
            makePage);
}

void FitPictureToPage(const TPicture& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage) {
  source.AssignTo(target);
  FitToPage(target, pageWidth, pageHeight, enlarge, mode, marginLeft, marginRight, marginTop, marginBottom,
            makePage);
}

}  // namespace bookloom
