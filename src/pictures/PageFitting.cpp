#include "pictures/PageFitting.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "decoders/Picture.h"
#include "pictures/ColorReduction.h"
#include "pictures/Resampling.h"

namespace bookloom {

namespace {

struct Size {
  int width, height;
};

// The size a picture of width x height is scaled to for an area, or nothing when it keeps its size:
// the area has no room, the picture is one pixel wide or high, or it fits and is not to be enlarged.
std::optional<Size> FittedSize(int width, int height, int areaWidth, int areaHeight, bool enlarge) {
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
  return Size{std::max(1, newWidth), std::max(1, newHeight)};
}

// Target becomes the source rows scaled to `size` with Lanczos3.
void ScaleInto(const PixelRows& source, Size size, Bitmap& target) {
  Bitmap scaled(size.width, size.height, PixelFormat::k24Bit);
  const ResampleFilter& lanczos = kResampleFilters[kLanczos3Filter];
  ResamplePixels(source, scaled, lanczos.filter, lanczos.support);
  target = std::move(scaled);
}

// Places the (scaled) picture that `target` holds on its page and reduces its colours, in place.
void PlaceAndReduce(Bitmap& target, int pageWidth, int pageHeight, int mode, int marginLeft, int marginRight,
                    int marginTop, int marginBottom, bool makePage) {
  const int areaWidth = pageWidth - marginLeft - marginRight;
  const int areaHeight = pageHeight - marginTop - marginBottom;
  if (makePage && areaWidth > 0 && areaHeight > 0) {
    Bitmap page(pageWidth, pageHeight, PixelFormat::k24Bit);
    page.Fill(kWhite);
    target.DrawOnto(page, marginLeft + (areaWidth - target.Width()) / 2,
                    marginTop + (areaHeight - target.Height()) / 2);
    target = std::move(page);
  }

  if (mode == 1) {
    auto reduced = ReduceColors(target, ReductionMode::kMonochrome, DitherMode::kStucki);
    reduced->SetFormat(PixelFormat::k1Bit);
    target = std::move(*reduced);
  } else if (mode == 2) {
    auto reduced = ReduceColors(target, ReductionMode::kGray4, DitherMode::kStucki);
    reduced->SetFormat(PixelFormat::k24Bit);
    target = std::move(*reduced);
  }
}

}  // namespace

void FitPictureToPage(const Bitmap& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage) {
  if (&target != &source) target = source;
  if (const auto size = FittedSize(target.Width(), target.Height(), pageWidth - marginLeft - marginRight,
                                   pageHeight - marginTop - marginBottom, enlarge)) {
    target.SetFormat(PixelFormat::k24Bit);
    ScaleInto({target.Row(0), target.Stride(), target.Width(), target.Height(), false}, *size, target);
  }
  PlaceAndReduce(target, pageWidth, pageHeight, mode, marginLeft, marginRight, marginTop, marginBottom,
                 makePage);
}

void FitPictureToPage(const Picture& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage) {
  const Graphic* graphic = source.Decoded();
  const std::optional<Size> size =
      graphic ? FittedSize(graphic->Width(), graphic->Height(), pageWidth - marginLeft - marginRight,
                           pageHeight - marginTop - marginBottom, enlarge)
              : std::nullopt;
  if (size && !graphic->HasAlpha()) {
    // An opaque picture is scaled straight from its decoded rows: no full-size copy is made.
    ScaleInto({graphic->Row(0), graphic->Stride(), graphic->Width(), graphic->Height(), true}, *size, target);
  } else {
    source.AssignTo(target);
    if (size) {
      ScaleInto({target.Row(0), target.Stride(), target.Width(), target.Height(), false}, *size, target);
    }
  }
  PlaceAndReduce(target, pageWidth, pageHeight, mode, marginLeft, marginRight, marginTop, marginBottom,
                 makePage);
}

}  // namespace bookloom
